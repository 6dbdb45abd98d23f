#include "showfile.h"

#include "classinifile.h"
#include "localtext.h"
#include "rowsource.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <array>
#include <limits>

namespace ShowFile {

namespace {

const QString kShowSection = QStringLiteral("Show");
const QString kVersionKey = QStringLiteral("Version");

struct Range
{
    int column;
    int minimum;
    int maximum;
};

// The list's ranges, in the order a row section is written.
constexpr std::array<Range, 10> kRanges { {
    { ListColumn::Effect, 0, 10 },
    { ListColumn::Speed, 1, 25 },
    { ListColumn::Times, 0, 25 },
    { ListColumn::Repeat, 1, 125 },
    { ListColumn::EEffect, 0, 5 },
    { ListColumn::ESpeed, 1, 25 },
    { ListColumn::ETime, 0, 25 },
    { ListColumn::ERepeat, 1, 125 },
    { ListColumn::TWidth, 1, std::numeric_limits<qint16>::max() },
    { ListColumn::THeight, 1, std::numeric_limits<qint16>::max() },
} };

// Plain decimal digits only: signs, blanks inside and fractions are not what the list holds.
bool parseWhole(const QString &text, int minimum, int maximum, int *out)
{
    // By hand rather than a pattern: a long show checks this hundreds of thousands of times.
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    const int value = text.toInt();
    if (value < minimum || value > maximum)
        return false;
    *out = value;
    return true;
}

QString rowName(int row)
{
    return QStringLiteral("Row") + QString::number(row);
}

QString rowKeyMessage(const QString &language, int row, const QString &key, const QString &english,
    const QString &chinese)
{
    return localText(language, QStringLiteral("Row %1, key \"%2\": %3").arg(row).arg(key, english),
        QStringLiteral("第 %1 行，键“%2”：%3").arg(row).arg(key, chinese));
}

QString notAShow(
    const QString &language, const QString &path, const QString &why, const QString &whyChinese)
{
    const QString name = QDir::toNativeSeparators(path);
    return localText(language,
        QStringLiteral("%1 is not a Vantrel show: %2. Nothing was loaded.").arg(name, why),
        QStringLiteral("%1 不是 Vantrel 节目文件：%2。未载入任何内容。").arg(name, whyChinese));
}

// The path of a list text (relative to `from`, or absolute) as seen from folder `to`.
QString rebase(const QString &text, const QString &from, const QString &to)
{
    const QString absolute
        = QDir::cleanPath(QDir::isAbsolutePath(text) ? text : from + QLatin1Char('/') + text);
    return QDir(to).relativeFilePath(absolute);
}

} // namespace

QString suffix()
{
    return QStringLiteral("vshow");
}

QString dialogFilter(const QString &language)
{
    return localText(language, QStringLiteral("Vantrel show (*.vshow)"),
        QStringLiteral("Vantrel 节目 (*.vshow)"));
}

QString keyOf(int column)
{
    switch (column) {
    case ListColumn::Effect:
        return QStringLiteral("Effect");
    case ListColumn::Speed:
        return QStringLiteral("Speed");
    case ListColumn::Times:
        return QStringLiteral("Times");
    case ListColumn::Repeat:
        return QStringLiteral("Repeat");
    case ListColumn::EEffect:
        return QStringLiteral("EEffect");
    case ListColumn::ESpeed:
        return QStringLiteral("ESpeed");
    case ListColumn::ETime:
        return QStringLiteral("ETime");
    case ListColumn::ERepeat:
        return QStringLiteral("ERepeat");
    case ListColumn::TWidth:
        return QStringLiteral("TWidth");
    case ListColumn::THeight:
        return QStringLiteral("THeight");
    case ListColumn::FilePath:
        return QStringLiteral("File Path");
    default:
        return {};
    }
}

QString checkRow(const QStringList &texts, int rowNumber, const QString &language)
{
    for (const Range &range : kRanges) {
        const QString value = texts.value(range.column - 1).trimmed();
        int parsed = 0;
        if (!parseWhole(value, range.minimum, range.maximum, &parsed)) {
            const QString limits = range.maximum == std::numeric_limits<qint16>::max()
                ? localText(language, QStringLiteral("a whole number from %1").arg(range.minimum),
                    QStringLiteral("不小于 %1 的整数").arg(range.minimum))
                : localText(language,
                    QStringLiteral("a whole number from %1 to %2")
                        .arg(range.minimum)
                        .arg(range.maximum),
                    QStringLiteral("%1 到 %2 之间的整数").arg(range.minimum).arg(range.maximum));
            return rowKeyMessage(language, rowNumber, keyOf(range.column),
                QStringLiteral("\"%1\" is not %2.").arg(value, limits),
                QStringLiteral("“%1”不是%2。").arg(value, limits));
        }
    }
    if (texts.value(ListColumn::FilePath - 1).trimmed().isEmpty()) {
        return rowKeyMessage(language, rowNumber, keyOf(ListColumn::FilePath),
            QStringLiteral("no page file is named."), QStringLiteral("没有指定页面文件。"));
    }
    return {};
}

ReadResult read(const QString &showPath, const QString &pageFolder, const QString &language)
{
    ReadResult result;
    const QFileInfo info(showPath);
    if (!info.isFile()) {
        result.message = localText(language,
            QStringLiteral("The show %1 cannot be opened: there is no such file. Nothing was "
                           "loaded.")
                .arg(QDir::toNativeSeparators(showPath)),
            QStringLiteral("无法打开节目 %1：文件不存在。未载入任何内容。")
                .arg(QDir::toNativeSeparators(showPath)));
        return result;
    }
    if (!info.isReadable()) {
        result.message = localText(language,
            QStringLiteral("The show %1 cannot be read: permission denied. Nothing was loaded.")
                .arg(QDir::toNativeSeparators(showPath)),
            QStringLiteral("无法读取节目 %1：没有权限。未载入任何内容。")
                .arg(QDir::toNativeSeparators(showPath)));
        return result;
    }

    classIniFile ini;
    ini.setINIFileName(showPath);
    const QList<IniSection> sections = ini.GetAllSections();

    const IniSection *show = nullptr;
    QHash<int, const IniSection *> rowSections;
    static const QRegularExpression rowPattern(
        QStringLiteral("^row([0-9]{1,9})$"), QRegularExpression::CaseInsensitiveOption);
    for (const IniSection &section : sections) {
        if (section.name.compare(kShowSection, Qt::CaseInsensitive) == 0) {
            if (!show)
                show = &section;
            continue;
        }
        const QRegularExpressionMatch m = rowPattern.match(section.name);
        if (!m.hasMatch())
            continue; // a later version's section
        const int number = m.captured(1).toInt();
        if (number < 1 || rowSections.contains(number)) {
            result.message = localText(language,
                QStringLiteral("The section [%1] appears more than once or is not a row number. "
                               "Nothing was loaded.")
                    .arg(section.name),
                QStringLiteral("节 [%1] 重复出现或不是有效的行号。未载入任何内容。")
                    .arg(section.name));
            return result;
        }
        rowSections.insert(number, &section);
    }

    QString version;
    int versionNumber = 0;
    if (!show) {
        result.message = notAShow(language, showPath, QStringLiteral("it has no [Show] section"),
            QStringLiteral("缺少 [Show] 节"));
        return result;
    }
    if (!show->find(kVersionKey, &version)
        || !parseWhole(version, 1, std::numeric_limits<int>::max(), &versionNumber)) {
        result.message = notAShow(language, showPath,
            QStringLiteral("its [Show] section has no Version from 1"),
            QStringLiteral("[Show] 节中没有有效的 Version"));
        return result;
    }

    const int count = int(rowSections.size());
    if (count > kMaxRows) {
        result.message = localText(language,
            QStringLiteral("The show has %1 rows; the program list holds at most %2. Nothing was "
                           "loaded.")
                .arg(count)
                .arg(kMaxRows),
            QStringLiteral("节目有 %1 行，节目列表最多容纳 %2 行。未载入任何内容。")
                .arg(count)
                .arg(kMaxRows));
        return result;
    }
    for (int row = 1; row <= count; ++row) {
        if (!rowSections.contains(row)) {
            result.message = localText(language,
                QStringLiteral("The section [%1] is missing: rows must run from Row1 to Row%2 "
                               "without gaps. Nothing was loaded.")
                    .arg(rowName(row))
                    .arg(count),
                QStringLiteral("缺少节 [%1]：行必须从 Row1 连续编号到 Row%2。未载入任何内容。")
                    .arg(rowName(row))
                    .arg(count));
            return result;
        }
    }

    const QString showFolder = info.absolutePath();
    const QString listFolder = QDir(pageFolder).absolutePath();
    // Shows repeat the same few pages; each is looked up on disk once.
    QHash<QString, bool> pageExists;
    QHash<QString, QString> listPaths;
    QList<QStringList> rows;
    rows.reserve(count);
    for (int row = 1; row <= count; ++row) {
        const IniSection &section = *rowSections.value(row);
        QStringList texts(ListColumn::Count);
        texts[ListColumn::Number - 1] = QString::number(row);
        for (int column = ListColumn::Effect; column <= ListColumn::FilePath; ++column) {
            QString value;
            if (!section.find(keyOf(column), &value)) {
                result.message = rowKeyMessage(language, row, keyOf(column),
                    QStringLiteral("the key is missing. Nothing was loaded."),
                    QStringLiteral("缺少该键。未载入任何内容。"));
                return result;
            }
            texts[column - 1] = value;
        }
        const QString problem = checkRow(texts, row, language);
        if (!problem.isEmpty()) {
            result.message = problem + QLatin1Char(' ')
                + localText(language, QStringLiteral("Nothing was loaded."),
                    QStringLiteral("未载入任何内容。"));
            return result;
        }
        for (const Range &range : kRanges)
            texts[range.column - 1] = QString::number(texts.at(range.column - 1).toInt());

        const QString filePath = texts.at(ListColumn::FilePath - 1);
        const QString absolute = QDir::cleanPath(
            QDir::isAbsolutePath(filePath) ? filePath : showFolder + QLatin1Char('/') + filePath);
        auto known = pageExists.constFind(absolute);
        if (known == pageExists.cend())
            known = pageExists.insert(absolute, QFileInfo(absolute).isFile());
        if (!known.value()) {
            result.message = rowKeyMessage(language, row, keyOf(ListColumn::FilePath),
                QStringLiteral("the page file %1 does not exist. Nothing was loaded.")
                    .arg(QDir::toNativeSeparators(absolute)),
                QStringLiteral("页面文件 %1 不存在。未载入任何内容。")
                    .arg(QDir::toNativeSeparators(absolute)));
            return result;
        }
        // A show names few pages many times: work out each one's list path once.
        auto listed = listPaths.constFind(absolute);
        if (listed == listPaths.cend())
            listed = listPaths.insert(absolute, QDir(listFolder).relativeFilePath(absolute));
        texts[ListColumn::FilePath - 1] = listed.value();
        rows.append(texts);
    }
    result.rows = std::move(rows);
    result.ok = true;
    return result;
}

bool write(const QString &showPath, const ControlRowSource &list, const QString &pageFolder,
    const QString &language, QString *message)
{
    const int count = list.rowCount();
    const QString showFolder = QFileInfo(showPath).absolutePath();
    const QString listFolder = QDir(pageFolder).absolutePath();
    QList<IniSection> sections;
    sections.reserve(count + 1);
    sections.append(IniSection { kShowSection, { { kVersionKey, QString::number(kVersion) } } });
    for (int row = 1; row <= count; ++row) {
        QStringList texts;
        for (int column = 1; column <= ListColumn::Count; ++column)
            texts.append(list.cellText(row, column));
        const QString problem = checkRow(texts, row, language);
        if (!problem.isEmpty()) {
            *message = problem + QLatin1Char(' ')
                + localText(language,
                    QStringLiteral("The show was not saved; correct the row first."),
                    QStringLiteral("节目未保存，请先修改该行。"));
            return false;
        }
        IniSection section { rowName(row), {} };
        section.keys.reserve(ListColumn::Count - 1);
        section.keys.append({ keyOf(ListColumn::FilePath),
            rebase(texts.at(ListColumn::FilePath - 1).trimmed(), listFolder, showFolder) });
        for (const Range &range : kRanges)
            section.keys.append({ keyOf(range.column), texts.at(range.column - 1).trimmed() });
        sections.append(section);
    }
    classIniFile ini;
    ini.setINIFileName(showPath);
    QString reason;
    if (!ini.WriteAllSections(sections, &reason)) {
        *message = localText(language,
            QStringLiteral("The show %1 could not be saved: %2. The file on disk is unchanged.")
                .arg(QDir::toNativeSeparators(showPath), reason),
            QStringLiteral("无法保存节目 %1：%2。磁盘上的文件未改变。")
                .arg(QDir::toNativeSeparators(showPath), reason));
        return false;
    }
    return true;
}

} // namespace ShowFile
