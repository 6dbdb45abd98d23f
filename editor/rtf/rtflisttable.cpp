#include "rtflisttable.h"

void RtfListTable::beginList()
{
    m_current = Definition();
    m_currentId = 0;
}

void RtfListTable::setListId(int id)
{
    m_currentId = id;
}

void RtfListTable::beginLevel()
{
    if (m_current.levels.size() < maxLevels)
        m_current.levels.append(Level());
}

void RtfListTable::setLevelNumberFormat(int format)
{
    if (!m_current.levels.isEmpty())
        m_current.levels.last().numberFormat = format;
}

void RtfListTable::setLevelText(const QString &text)
{
    if (!m_current.levels.isEmpty())
        m_current.levels.last().text = text;
}

void RtfListTable::endList()
{
    m_lists.insert(m_currentId, m_current);
    m_current = Definition();
}

void RtfListTable::beginOverride()
{
    m_overrideListId = 0;
    m_overrideNumber = 0;
}

void RtfListTable::setOverrideListId(int id)
{
    m_overrideListId = id;
}

void RtfListTable::setOverrideNumber(int ls)
{
    m_overrideNumber = ls;
}

void RtfListTable::endOverride()
{
    if (m_overrideNumber != 0)
        m_overrides.insert(m_overrideNumber, m_overrideListId);
}

const RtfListTable::Level *RtfListTable::level(int ls, int level) const
{
    const auto override = m_overrides.constFind(ls);
    if (override == m_overrides.constEnd())
        return nullptr;
    const auto list = m_lists.constFind(*override);
    if (list == m_lists.constEnd() || level < 0 || level >= list->levels.size())
        return nullptr;
    return &list->levels.at(level);
}

bool RtfListTable::showsMarker(int ls, int levelIndex) const
{
    const Level *l = level(ls, levelIndex);
    return !l || l->numberFormat != NoNumber;
}

QTextListFormat::Style RtfListTable::bulletStyle(QChar bullet)
{
    switch (bullet.unicode()) {
    case 'o':
    case 0x25CB: // white circle
    case 0x25E6: // white bullet
    case 0xF06F:
        return QTextListFormat::ListCircle;
    case 0x25A0: // black square
    case 0x25AA: // black small square
    case 0x00A7: // Wingdings square read as Windows-1252
    case 0xF0A7:
    case 0xF06E:
        return QTextListFormat::ListSquare;
    default:
        return QTextListFormat::ListDisc;
    }
}

QTextListFormat RtfListTable::format(int ls, int levelIndex) const
{
    QTextListFormat format;
    format.setIndent(qBound(0, levelIndex, maxLevels - 1) + 1);
    const Level *l = level(ls, levelIndex);
    if (!l) {
        format.setStyle(QTextListFormat::ListDisc);
        return format;
    }
    // \leveltext: a length character, then the marker with characters 0-8 standing for the
    // numbers of the levels.
    const QString text = l->text.mid(1, l->text.isEmpty() ? 0 : l->text.at(0).unicode());
    switch (l->numberFormat) {
    case BulletFormat:
        format.setStyle(bulletStyle(text.isEmpty() ? QChar(0x2022) : text.at(0)));
        return format;
    case UpperRoman:
        format.setStyle(QTextListFormat::ListUpperRoman);
        break;
    case LowerRoman:
        format.setStyle(QTextListFormat::ListLowerRoman);
        break;
    case UpperLetter:
        format.setStyle(QTextListFormat::ListUpperAlpha);
        break;
    case LowerLetter:
        format.setStyle(QTextListFormat::ListLowerAlpha);
        break;
    default:
        format.setStyle(QTextListFormat::ListDecimal);
        break;
    }
    qsizetype first = -1;
    qsizetype last = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).unicode() < maxLevels) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first >= 0) {
        const QString prefix = text.left(first);
        const QString suffix = text.mid(last + 1);
        if (!prefix.isEmpty())
            format.setNumberPrefix(prefix);
        if (suffix != QLatin1String("."))
            format.setNumberSuffix(suffix);
    }
    return format;
}
