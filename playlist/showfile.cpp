#include "showfile.h"

#include "classinifile.h"
#include "localtext.h"
#include "rowsource.h"
#include "showtext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
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

// "Row" and digits, any letter case: a row section, whatever its number.
bool namesRowSection(const QString &name)
{
    if (name.size() <= 3 || !name.startsWith(QLatin1String("row"), Qt::CaseInsensitive))
        return false;
    for (qsizetype i = 3; i < name.size(); ++i) {
        if (name.at(i) < QLatin1Char('0') || name.at(i) > QLatin1Char('9'))
            return false;
    }
    return true;
}

// The number of a row section (leading zeros allowed); 0 when it is not 1..kMaxRows.
int rowNumberOf(const QString &name)
{
    qint64 number = 0;
    for (qsizetype i = 3; i < name.size(); ++i) {
        number = number * 10 + (name.at(i).unicode() - '0');
        if (number > kMaxRows)
            return 0;
    }
    return int(number);
}

// What a path names when it is no plain file, in English and Chinese.
std::pair<QString, QString> kindOfNonFile(const QFileInfo &info)
{
    if (info.isDir())
        return { QStringLiteral("it is a folder"), QStringLiteral("它是一个文件夹") };
    return { QStringLiteral("it is a device or pipe, not a file"),
        QStringLiteral("它是设备或管道，不是文件") };
}

// The file types a page can be: a show from someone else must not send other local files
// (settings, system files) to a sign as text.
bool namesPageType(const QString &path)
{
    static const QStringList kSuffixes { QStringLiteral("rtf"), QStringLiteral("bmp"),
        QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("gif"),
        QStringLiteral("png") };
    return kSuffixes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive);
}

// Why the page file at `absolute` cannot be a row's page, in English and Chinese; empty texts
// when it can.
std::pair<QString, QString> pageProblem(const QString &absolute)
{
    const QFileInfo info(absolute);
    const QString name = QDir::toNativeSeparators(absolute);
    if (!namesPageType(absolute))
        return {
            QStringLiteral("%1 is not a page file (.rtf, .bmp, .jpg, .jpeg, .gif or .png).")
                .arg(name),
            QStringLiteral("%1 不是页面文件（.rtf、.bmp、.jpg、.jpeg、.gif 或 .png）。").arg(name)
        };
    if (!info.exists())
        return { QStringLiteral("the page file %1 does not exist.").arg(name),
            QStringLiteral("页面文件 %1 不存在。").arg(name) };
    if (!info.isFile()) {
        const std::pair<QString, QString> kind = kindOfNonFile(info);
        return { QStringLiteral("the page %1 cannot be read: %2.").arg(name, kind.first),
            QStringLiteral("无法读取页面 %1：%2。").arg(name, kind.second) };
    }
    return {};
}

// The message for a fault in the file's text, naming the row and key where there are ones.
QString faultMessage(const QString &language, const QString &path, const ShowText::Fault &fault)
{
    QString english;
    QString chinese;
    switch (fault.kind) {
    case ShowText::Fault::Kind::None:
        return {};
    case ShowText::Fault::Kind::NotUtf8:
        english = QStringLiteral("line %1 is not UTF-8 text").arg(fault.line);
        chinese = QStringLiteral("第 %1 行不是 UTF-8 文本").arg(fault.line);
        break;
    case ShowText::Fault::Kind::NulByte:
        english = QStringLiteral("line %1 holds a NUL byte").arg(fault.line);
        chinese = QStringLiteral("第 %1 行含有 NUL 字节").arg(fault.line);
        break;
    case ShowText::Fault::Kind::ValueTooLong:
        english = QStringLiteral("the value on line %1 is longer than %2 bytes")
                      .arg(fault.line)
                      .arg(classIniFile::kMaxValueBytes);
        chinese = QStringLiteral("第 %1 行的值超过 %2 字节")
                      .arg(fault.line)
                      .arg(classIniFile::kMaxValueBytes);
        break;
    }
    if (!fault.key.isEmpty() && namesRowSection(fault.section) && rowNumberOf(fault.section) > 0)
        return rowKeyMessage(language, rowNumberOf(fault.section), fault.key,
            english + QStringLiteral(". Nothing was loaded."),
            chinese + QStringLiteral("。未载入任何内容。"));
    return notAShow(language, path, english, chinese);
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
    // What the file could not read back is not written.
    if (texts.value(ListColumn::FilePath - 1).trimmed().toUtf8().size()
        > classIniFile::kMaxValueBytes) {
        return rowKeyMessage(language, rowNumber, keyOf(ListColumn::FilePath),
            QStringLiteral("the path is longer than %1 bytes.").arg(classIniFile::kMaxValueBytes),
            QStringLiteral("路径超过 %1 字节。").arg(classIniFile::kMaxValueBytes));
    }
    return {};
}

ReadResult read(const QString &showPath, const QString &pageFolder, const QString &language)
{
    ReadResult result;
    const QFileInfo info(showPath);
    const QString shownPath = QDir::toNativeSeparators(showPath);
    if (!info.exists()) {
        result.message = localText(language,
            QStringLiteral("The show %1 cannot be opened: there is no such file. Nothing was "
                           "loaded.")
                .arg(shownPath),
            QStringLiteral("无法打开节目 %1：文件不存在。未载入任何内容。").arg(shownPath));
        return result;
    }
    if (!info.isFile()) {
        const std::pair<QString, QString> kind = kindOfNonFile(info);
        result.message = notAShow(language, showPath, kind.first, kind.second);
        return result;
    }
    if (!info.isReadable()) {
        result.message = localText(language,
            QStringLiteral("The show %1 cannot be read: permission denied. Nothing was loaded.")
                .arg(shownPath),
            QStringLiteral("无法读取节目 %1：没有权限。未载入任何内容。").arg(shownPath));
        return result;
    }
    if (info.size() > ShowText::kMaxShowBytes) {
        result.message = notAShow(language, showPath,
            QStringLiteral("it is larger than %1 MB, far more than a full list of %2 rows")
                .arg(ShowText::kMaxShowBytes / (1024 * 1024))
                .arg(kMaxRows),
            QStringLiteral("文件大于 %1 MB，远超 %2 行的完整列表")
                .arg(ShowText::kMaxShowBytes / (1024 * 1024))
                .arg(kMaxRows));
        return result;
    }
    QFile file(showPath);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.read(ShowText::kMaxShowBytes + 1); // the file may grow after the check
    if (file.error() != QFileDevice::NoError || bytes.size() > ShowText::kMaxShowBytes) {
        result.message = localText(language,
            QStringLiteral("The show %1 cannot be read: %2. Nothing was loaded.")
                .arg(shownPath, file.errorString()),
            QStringLiteral("无法读取节目 %1：%2。未载入任何内容。")
                .arg(shownPath, file.errorString()));
        return result;
    }
    QList<IniSection> sections;
    ShowText::Fault fault;
    if (!ShowText::parse(bytes, &sections, &fault)) {
        result.message = faultMessage(language, showPath, fault);
        return result;
    }

    const IniSection *show = nullptr;
    QHash<int, const IniSection *> rowSections;
    int highestRow = 0;
    for (const IniSection &section : sections) {
        if (section.name.compare(kShowSection, Qt::CaseInsensitive) == 0) {
            if (!show)
                show = &section;
            continue;
        }
        if (!namesRowSection(section.name))
            continue; // a later version's section
        const int number = rowNumberOf(section.name);
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
        highestRow = std::max(highestRow, number);
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
                QStringLiteral("[%1] is missing: rows run from [Row1] without gaps, and this "
                               "show has [%2]. Nothing was loaded.")
                    .arg(rowName(row), rowName(highestRow)),
                QStringLiteral("缺少 [%1]：行必须从 [Row1] 起连续编号，而该节目有 [%2]。"
                               "未载入任何内容。")
                    .arg(rowName(row), rowName(highestRow)));
            return result;
        }
    }

    const QString showFolder = info.absolutePath();
    const QString listFolder = QDir(pageFolder).absolutePath();
    // Shows repeat the same few pages; each is looked up on disk once.
    QHash<QString, std::pair<QString, QString>> pageProblems;
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
        auto known = pageProblems.constFind(absolute);
        if (known == pageProblems.cend())
            known = pageProblems.insert(absolute, pageProblem(absolute));
        if (!known.value().first.isEmpty()) {
            result.message = rowKeyMessage(language, row, keyOf(ListColumn::FilePath),
                known.value().first + QStringLiteral(" Nothing was loaded."),
                known.value().second + QStringLiteral("未载入任何内容。"));
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
