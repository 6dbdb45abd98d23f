#include "pagecommands.h"

#include "pagedocument.h"
#include "pageformat.h"

#include <QClipboard>
#include <QFont>
#include <QLocale>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>

#include <functional>

namespace Page {

namespace {

// Below this a computed indent counts as zero: millimetre arithmetic on pixel values leaves
// rounding dust, and a tiny negative indent must not be refused.
constexpr qreal kIndentEpsilonMm = 1e-6;

bool attributeOf(const QTextCharFormat &format, CharToggle which)
{
    switch (which) {
    case CharToggle::Bold:
        return format.fontWeight() > QFont::Medium;
    case CharToggle::Italic:
        return format.fontItalic();
    case CharToggle::Underline:
        return format.fontUnderline();
    case CharToggle::StrikeOut:
        return format.fontStrikeOut();
    }
    return false;
}

QTextCharFormat attributeFormat(CharToggle which, bool on)
{
    QTextCharFormat format;
    switch (which) {
    case CharToggle::Bold:
        format.setFontWeight(on ? QFont::Bold : QFont::Normal);
        break;
    case CharToggle::Italic:
        format.setFontItalic(on);
        break;
    case CharToggle::Underline:
        format.setFontUnderline(on);
        break;
    case CharToggle::StrikeOut:
        format.setFontStrikeOut(on);
        break;
    }
    return format;
}

// Calls `visit` with the format of every run of text inside the selection; pictures are
// passed over, as they carry no text attributes a user could see.
void forEachSelectedFormat(
    const QTextCursor &cursor, const std::function<void(const QTextCharFormat &)> &visit)
{
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    for (QTextBlock block = cursor.document()->findBlock(start);
         block.isValid() && block.position() < end; block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = fragment.position();
            const int to = from + fragment.length();
            if (to <= start || from >= end)
                continue;
            if (fragment.charFormat().isImageFormat())
                continue;
            visit(fragment.charFormat());
        }
    }
}

// Every block the selection touches (the cursor's block without a selection).
QList<QTextBlock> selectedBlocks(const QTextCursor &cursor)
{
    QList<QTextBlock> blocks;
    const QTextDocument *document = cursor.document();
    const QTextBlock last = document->findBlock(cursor.selectionEnd());
    for (QTextBlock block = document->findBlock(cursor.selectionStart()); block.isValid();
         block = block.next()) {
        blocks.append(block);
        if (block == last)
            break;
    }
    return blocks;
}

bool isBulleted(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    if (!list)
        return false;
    switch (list->format().style()) {
    case QTextListFormat::ListDisc:
    case QTextListFormat::ListCircle:
    case QTextListFormat::ListSquare:
        return true;
    default:
        return false;
    }
}

qreal unitsToMm(qreal units)
{
    return units * kMillimetresPerInch / kUnitsPerInch;
}

qreal mmToUnits(qreal mm)
{
    return mm * kUnitsPerInch / kMillimetresPerInch;
}

// Plain text of the selection as a clipboard takes it: line breaks as "\n", pictures left
// out.
QString selectedPlainText(const QTextCursor &cursor)
{
    if (!cursor.hasSelection())
        return {};
    QString text = QTextDocumentFragment(cursor).toPlainText();
    text.remove(QChar::ObjectReplacementCharacter);
    return text;
}

} // namespace

QStringList formatBarKeys()
{
    return { FormatKey::Bold, FormatKey::Italic, FormatKey::Underline, FormatKey::StrikeOut,
        FormatKey::AlignLeft, FormatKey::AlignCentre, FormatKey::AlignRight, FormatKey::Bullets,
        FormatKey::Numbering, FormatKey::IndentLess, FormatKey::IndentMore, FormatKey::Paragraph,
        FormatKey::ColorRed, FormatKey::ColorYellow, FormatKey::ColorGreen, FormatKey::Background };
}

std::optional<bool> charAttribute(const QTextCursor &cursor, CharToggle which)
{
    if (!cursor.hasSelection())
        return attributeOf(cursor.charFormat(), which);
    std::optional<bool> value;
    bool mixed = false;
    forEachSelectedFormat(cursor, [&](const QTextCharFormat &format) {
        const bool on = attributeOf(format, which);
        if (value && *value != on)
            mixed = true;
        value = on;
    });
    if (mixed)
        return std::nullopt;
    // A selection of pictures only reads as the format at the cursor.
    return value ? value : std::optional<bool>(attributeOf(cursor.charFormat(), which));
}

bool toggleCharAttribute(QTextCursor &cursor, CharToggle which)
{
    const std::optional<bool> before = charAttribute(cursor, which);
    if (!before)
        return false;
    cursor.mergeCharFormat(attributeFormat(which, !*before));
    return charAttribute(cursor, which).value_or(false);
}

void setAlignment(QTextCursor &cursor, ParagraphAlignment alignment)
{
    QTextBlockFormat format;
    switch (alignment) {
    case ParagraphAlignment::Left:
        format.setAlignment(Qt::AlignLeft);
        break;
    case ParagraphAlignment::Right:
        format.setAlignment(Qt::AlignRight);
        break;
    case ParagraphAlignment::Centre:
        format.setAlignment(Qt::AlignHCenter);
        break;
    }
    cursor.mergeBlockFormat(format);
}

ParagraphAlignment alignment(const QTextCursor &cursor)
{
    const Qt::Alignment horizontal = cursor.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignRight)
        return ParagraphAlignment::Right;
    if (horizontal & Qt::AlignHCenter)
        return ParagraphAlignment::Centre;
    return ParagraphAlignment::Left;
}

std::optional<bool> bulletState(const QTextCursor &cursor)
{
    bool any = false;
    bool all = true;
    for (const QTextBlock &block : selectedBlocks(cursor)) {
        const bool on = isBulleted(block);
        any = any || on;
        all = all && on;
    }
    if (all)
        return true;
    if (!any)
        return false;
    return std::nullopt;
}

void setBullets(QTextCursor &cursor)
{
    if (bulletState(cursor) == std::optional<bool>(true))
        return;
    QTextListFormat format;
    format.setStyle(QTextListFormat::ListDisc);
    format.setIndent(1);
    cursor.beginEditBlock();
    cursor.createList(format);
    cursor.endEditBlock();
}

bool toggleBullets(QTextCursor &cursor)
{
    if (bulletState(cursor) != std::optional<bool>(true)) {
        setBullets(cursor);
        return true;
    }
    cursor.beginEditBlock();
    for (const QTextBlock &block : selectedBlocks(cursor)) {
        QTextBlockFormat format = block.blockFormat();
        format.clearProperty(QTextFormat::ObjectIndex);
        format.setIndent(0);
        format.setTextIndent(0);
        QTextCursor(block).setBlockFormat(format);
    }
    cursor.endEditBlock();
    return false;
}

void setTextColor(QTextCursor &cursor, const QColor &color)
{
    QTextCharFormat format;
    format.setForeground(color);
    cursor.mergeCharFormat(format);
}

qreal leftIndentMm(const QTextCursor &cursor)
{
    return unitsToMm(cursor.blockFormat().leftMargin());
}

bool changeLeftIndent(QTextCursor &cursor, qreal deltaMm)
{
    bool changed = false;
    cursor.beginEditBlock();
    for (const QTextBlock &block : selectedBlocks(cursor)) {
        qreal mm = unitsToMm(block.blockFormat().leftMargin()) + deltaMm;
        if (qAbs(mm) < kIndentEpsilonMm)
            mm = 0;
        if (mm < 0)
            continue;
        QTextBlockFormat format;
        format.setLeftMargin(mmToUnits(mm));
        QTextCursor(block).mergeBlockFormat(format);
        changed = true;
    }
    cursor.endEditBlock();
    return changed;
}

void applyExactLineSpacing(QTextCursor &cursor)
{
    cursor = setExactLineSpacing(cursor.document());
}

void setPageBackground(QTextDocument *document, const QColor &color)
{
    if (document && color.isValid())
        setBackground(document, color);
}

FormatKeyResult applyFormatKey(const QString &key, QTextCursor &cursor)
{
    FormatKeyResult result;
    if (cursor.isNull())
        return result;
    result.handled = true;
    if (key == FormatKey::Bold)
        result.pressed = toggleCharAttribute(cursor, CharToggle::Bold);
    else if (key == FormatKey::Italic)
        result.pressed = toggleCharAttribute(cursor, CharToggle::Italic);
    else if (key == FormatKey::Underline)
        result.pressed = toggleCharAttribute(cursor, CharToggle::Underline);
    else if (key == FormatKey::StrikeOut)
        result.pressed = toggleCharAttribute(cursor, CharToggle::StrikeOut);
    else if (key == FormatKey::AlignLeft)
        setAlignment(cursor, ParagraphAlignment::Left);
    else if (key == FormatKey::AlignCentre)
        setAlignment(cursor, ParagraphAlignment::Centre);
    else if (key == FormatKey::AlignRight)
        setAlignment(cursor, ParagraphAlignment::Right);
    else if (key == FormatKey::Bullets)
        setBullets(cursor);
    else if (key == FormatKey::Numbering)
        result.pressed = toggleBullets(cursor);
    else if (key == FormatKey::IndentLess)
        changeLeftIndent(cursor, -kIndentStepMm);
    else if (key == FormatKey::IndentMore)
        changeLeftIndent(cursor, kIndentStepMm);
    else if (key == FormatKey::Paragraph)
        applyExactLineSpacing(cursor);
    else if (key == FormatKey::ColorRed)
        setTextColor(cursor, ledRed());
    else if (key == FormatKey::ColorYellow)
        setTextColor(cursor, ledYellow());
    else if (key == FormatKey::ColorGreen)
        setTextColor(cursor, ledGreen());
    else
        result.handled = false;
    return result;
}

bool formatKeyPressed(const QTextCursor &cursor, const QString &key)
{
    if (cursor.isNull())
        return false;
    const auto set = [](std::optional<bool> value) { return value.value_or(false); };
    if (key == FormatKey::Bold)
        return set(charAttribute(cursor, CharToggle::Bold));
    if (key == FormatKey::Italic)
        return set(charAttribute(cursor, CharToggle::Italic));
    if (key == FormatKey::Underline)
        return set(charAttribute(cursor, CharToggle::Underline));
    if (key == FormatKey::StrikeOut)
        return set(charAttribute(cursor, CharToggle::StrikeOut));
    if (key == FormatKey::Bullets || key == FormatKey::Numbering)
        return set(bulletState(cursor));
    return false;
}

bool applyFontFamily(QTextCursor &cursor, const QString &family)
{
    const QString name = family.trimmed();
    if (name.isEmpty())
        return false;
    QTextCharFormat format;
    format.setFontFamilies(QStringList { name });
    cursor.mergeCharFormat(format);
    return true;
}

bool applyFontSize(QTextCursor &cursor, const QString &sizeText)
{
    bool ok = false;
    const qreal size = QLocale::c().toDouble(sizeText.trimmed(), &ok);
    if (!ok || size < 1 || size > kMaxFontPointSize)
        return false;
    QTextCharFormat format;
    format.setFontPointSize(size);
    cursor.mergeCharFormat(format);
    return true;
}

bool copyPlainText(const QTextCursor &cursor, QClipboard *clipboard)
{
    const QString text = selectedPlainText(cursor);
    if (text.isEmpty() || !clipboard)
        return false;
    clipboard->setText(text);
    return true;
}

bool cutPlainText(QTextCursor &cursor, QClipboard *clipboard)
{
    if (!copyPlainText(cursor, clipboard))
        return false;
    cursor.removeSelectedText();
    return true;
}

void pastePlainText(QTextCursor &cursor, const QClipboard *clipboard)
{
    if (!clipboard)
        return;
    QString text = clipboard->text();
    if (text.isEmpty())
        return;
    // A lone "\r" would start a paragraph of its own, so Windows line ends become one break.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    cursor.insertText(text);
}

void selectAll(QTextCursor &cursor)
{
    cursor.select(QTextCursor::Document);
}

void clearText(QTextCursor &cursor)
{
    // Not QTextDocument::clear(): that would also drop the page background and margins.
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.setBlockCharFormat(QTextCharFormat());
    cursor.setCharFormat(QTextCharFormat());
    cursor.endEditBlock();
}

} // namespace Page
