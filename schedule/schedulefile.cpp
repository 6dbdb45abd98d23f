#include "schedulefile.h"

#include "classinifile.h"
#include "localtext.h"
#include "showfile.h"
#include "wallclock.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

namespace ScheduleFile {

namespace {

const QString kScheduleSection = QStringLiteral("Schedule");
const QString kVersionKey = QStringLiteral("Version");
const QString kDefaultKey = QStringLiteral("Default");
const QString kShowKey = QStringLiteral("Show");
const QString kDaysKey = QStringLiteral("Days");
const QString kFromKey = QStringLiteral("From");
const QString kToKey = QStringLiteral("To");
const QString kDatesKey = QStringLiteral("Dates");
const QString kTargetsKey = QStringLiteral("Targets");
const QStringList kDayNames { QStringLiteral("Mon"), QStringLiteral("Tue"), QStringLiteral("Wed"),
    QStringLiteral("Thu"), QStringLiteral("Fri"), QStringLiteral("Sat"), QStringLiteral("Sun") };

QString keyMessage(const QString &language, const QString &section, const QString &key,
    const QString &english, const QString &chinese)
{
    return localText(language, QStringLiteral("[%1], key \"%2\": %3").arg(section, key, english),
        QStringLiteral("[%1]，键“%2”：%3").arg(section, key, chinese));
}

QString nothingLoaded(const QString &language)
{
    return localText(
        language, QStringLiteral(" Nothing was loaded."), QStringLiteral("未载入任何内容。"));
}

// 1..7 for "Mon".."Sun" (any letter case), 0 otherwise.
int dayNumber(const QString &name)
{
    for (int i = 0; i < kDayNames.size(); ++i) {
        if (name.trimmed().compare(kDayNames.at(i), Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return 0;
}

bool parseDays(const QString &text, int *mask)
{
    int days = 0;
    for (const QString &part : text.split(QLatin1Char(','))) {
        const QStringList ends = part.split(QLatin1Char('-'));
        if (ends.size() > 2)
            return false;
        const int first = dayNumber(ends.first());
        const int last = dayNumber(ends.last());
        if (!first || !last)
            return false;
        // A range may run over the weekend: "Sat-Mon".
        for (int d = first;; d = d % 7 + 1) {
            days |= 1 << (d - 1);
            if (d == last)
                break;
        }
    }
    *mask = days;
    return true;
}

bool parseMinute(const QString &text, int *minute)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,2}):([0-9]{2})$"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    const int hours = m.captured(1).toInt();
    const int minutes = m.captured(2).toInt();
    if (hours > 23 || minutes > 59)
        return false;
    *minute = hours * 60 + minutes;
    return true;
}

bool parseDates(const QString &text, QDate *first, QDate *last)
{
    const QStringList ends = text.trimmed().split(QStringLiteral(".."));
    if (ends.size() > 2)
        return false;
    *first = QDate::fromString(ends.first().trimmed(), Qt::ISODate);
    *last = QDate::fromString(ends.last().trimmed(), Qt::ISODate);
    return first->isValid() && last->isValid();
}

// "host:port" or "[IPv6]:port", port 1..65535.
bool parseTarget(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(?:\\[[^\\]]+\\]|[^:\\[\\],; ]+):([0-9]{1,5})$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return false;
    const int port = m.captured(1).toInt();
    return port >= 1 && port <= 65535;
}

// Where `show` (as written beside `fromFile`) is, as written beside `toFile`.
QString rebaseShow(const QString &show, const QString &fromFile, const QString &toFile)
{
    if (show.isEmpty() || QDir::isAbsolutePath(show))
        return show;
    const QString absolute
        = QDir::cleanPath(QFileInfo(fromFile).absolutePath() + QLatin1Char('/') + show);
    return QDir(QFileInfo(toFile).absolutePath()).relativeFilePath(absolute);
}

} // namespace

QString suffix()
{
    return QStringLiteral("vsched");
}

QString dialogFilter(const QString &language)
{
    return localText(language, QStringLiteral("Vantrel schedule (*.vsched)"),
        QStringLiteral("Vantrel 时间表 (*.vsched)"));
}

QString daysText(int days)
{
    QStringList parts;
    for (int d = 1; d <= 7; ++d) {
        if (!(days & (1 << (d - 1))))
            continue;
        int last = d;
        while (last < 7 && (days & (1 << last)))
            ++last;
        parts.append(last - d >= 2 ? kDayNames.at(d - 1) + QLatin1Char('-') + kDayNames.at(last - 1)
                                   : kDayNames.at(d - 1));
        if (last - d == 1)
            parts.append(kDayNames.at(last - 1));
        d = last;
    }
    return parts.join(QLatin1Char(','));
}

QString parseEntry(const EntryTexts &texts, const QString &language, ScheduleEntry *entry)
{
    ScheduleEntry e;
    e.section = texts.section;
    const auto fault = [&](const QString &key, const QString &english, const QString &chinese) {
        return keyMessage(language, texts.section, key, english, chinese);
    };
    e.show = texts.show.trimmed();
    if (texts.show.isNull())
        return fault(kShowKey, QStringLiteral("the key is missing."), QStringLiteral("缺少该键。"));
    if (e.show.isEmpty())
        return fault(kShowKey, QStringLiteral("no show file is named."),
            QStringLiteral("没有指定节目文件。"));
    if (!texts.days.isNull() && !parseDays(texts.days, &e.days)) {
        return fault(kDaysKey,
            QStringLiteral("\"%1\" is not a list of days or ranges of days (Mon, Tue, Wed, Thu, "
                           "Fri, Sat, Sun; e.g. \"Mon-Fri\" or \"Sat,Sun\").")
                .arg(texts.days),
            QStringLiteral("“%1”不是星期列表或星期范围（Mon、Tue、Wed、Thu、Fri、Sat、Sun；"
                           "例如“Mon-Fri”或“Sat,Sun”）。")
                .arg(texts.days));
    }
    const auto badTime = [&](const QString &key, const QString &text) {
        return fault(key,
            QStringLiteral("\"%1\" is not a time of day HH:MM (00:00 to 23:59).").arg(text),
            QStringLiteral("“%1”不是 HH:MM 格式的时刻（00:00 至 23:59）。").arg(text));
    };
    e.hasFrom = !texts.from.isNull();
    e.hasTo = !texts.to.isNull();
    if (e.hasFrom && !parseMinute(texts.from, &e.fromMinute))
        return badTime(kFromKey, texts.from);
    if (e.hasTo && !parseMinute(texts.to, &e.toMinute))
        return badTime(kToKey, texts.to);
    if (e.fromMinute == e.toMinute) {
        return fault(kToKey,
            QStringLiteral("\"%1\" is the same as From; an entry for the whole day has neither.")
                .arg(texts.to),
            QStringLiteral("“%1”与 From 相同；全天有效的条目两者都不写。").arg(texts.to));
    }
    if (!texts.dates.isNull()) {
        if (!parseDates(texts.dates, &e.firstDate, &e.lastDate)) {
            return fault(kDatesKey,
                QStringLiteral("\"%1\" is not a date range YYYY-MM-DD..YYYY-MM-DD.")
                    .arg(texts.dates),
                QStringLiteral("“%1”不是 YYYY-MM-DD..YYYY-MM-DD 格式的日期范围。")
                    .arg(texts.dates));
        }
        if (e.lastDate < e.firstDate) {
            return fault(kDatesKey,
                QStringLiteral("\"%1\" ends before it begins.").arg(texts.dates),
                QStringLiteral("“%1”的结束日期早于开始日期。").arg(texts.dates));
        }
    }
    if (!texts.targets.isNull()) {
        for (const QString &part : texts.targets.split(QLatin1Char(','))) {
            const QString target = part.trimmed();
            if (!parseTarget(target)) {
                return fault(kTargetsKey,
                    QStringLiteral("\"%1\" is not address:port with a port from 1 to 65535.")
                        .arg(target),
                    QStringLiteral("“%1”不是“地址:端口”（端口 1 至 65535）。").arg(target));
            }
            e.targets.append(target);
        }
    }
    *entry = e;
    return {};
}

EntryTexts textsOf(const ScheduleEntry &entry)
{
    EntryTexts texts;
    texts.section = entry.section;
    texts.show = entry.show;
    if (entry.days != ScheduleEntry::kAllDays)
        texts.days = daysText(entry.days);
    if (entry.hasFrom)
        texts.from = WallClock::minuteText(entry.fromMinute);
    if (entry.hasTo)
        texts.to = WallClock::minuteText(entry.toMinute);
    if (!entry.firstDate.isNull()) {
        texts.dates = entry.firstDate.toString(Qt::ISODate) + QStringLiteral("..")
            + entry.lastDate.toString(Qt::ISODate);
    }
    if (!entry.targets.isEmpty())
        texts.targets = entry.targets.join(QLatin1Char(','));
    return texts;
}

QString checkShows(const Schedule &schedule, const QString &language)
{
    QHash<QString, QString> checked; // show path -> its fault, "" when sound
    const auto check = [&](const QString &section, const QString &key, const QString &show) {
        const QString path = schedule.showPath(show);
        auto known = checked.constFind(path);
        if (known == checked.cend()) {
            const ShowFile::ReadResult result
                = ShowFile::read(path, QFileInfo(path).absolutePath(), language);
            known = checked.insert(path, result.ok ? QString() : result.message);
        }
        return known.value().isEmpty()
            ? QString()
            : keyMessage(language, section, key, known.value(), known.value());
    };
    if (!schedule.defaultShow.isEmpty()) {
        const QString fault = check(kScheduleSection, kDefaultKey, schedule.defaultShow);
        if (!fault.isEmpty())
            return fault;
    }
    for (const ScheduleEntry &entry : schedule.entries) {
        const QString fault = check(entry.section, kShowKey, entry.show);
        if (!fault.isEmpty())
            return fault;
    }
    return {};
}

ReadResult read(const QString &path, const QString &language)
{
    ReadResult result;
    const QFileInfo info(path);
    const QString name = QDir::toNativeSeparators(path);
    if (!info.isFile() || !info.isReadable()) {
        result.message = localText(language,
            QStringLiteral("The schedule %1 cannot be read: %2. Nothing was loaded.")
                .arg(name,
                    info.exists() ? QStringLiteral("permission denied")
                                  : QStringLiteral("there is no such file")),
            QStringLiteral("无法读取时间表 %1：%2。未载入任何内容。")
                .arg(name,
                    info.exists() ? QStringLiteral("没有权限") : QStringLiteral("文件不存在")));
        return result;
    }
    classIniFile ini;
    ini.setINIFileName(path);
    const QList<IniSection> sections = ini.GetAllSections();

    Schedule schedule;
    schedule.path = info.absoluteFilePath();
    const IniSection *head = nullptr;
    QHash<QString, bool> seen;
    static const QRegularExpression entryPattern(
        QStringLiteral("^entry[0-9]{1,9}$"), QRegularExpression::CaseInsensitiveOption);
    QList<const IniSection *> entrySections;
    for (const IniSection &section : sections) {
        const QString lower = section.name.toLower();
        const bool isHead = section.name.compare(kScheduleSection, Qt::CaseInsensitive) == 0;
        if (!isHead && !entryPattern.match(section.name).hasMatch()) {
            // A mistyped entry would silently never be in force.
            if (lower.startsWith(QLatin1String("entry"))) {
                result.message
                    = localText(language,
                          QStringLiteral(
                              "The section [%1] is not an entry: entries are named Entry1, "
                              "Entry2 and so on.")
                              .arg(section.name),
                          QStringLiteral("节 [%1] 不是条目：条目应命名为 Entry1、Entry2 等。")
                              .arg(section.name))
                    + nothingLoaded(language);
                return result;
            }
            continue; // a later version's section
        }
        if (seen.contains(lower)) {
            result.message
                = localText(language,
                      QStringLiteral("The section [%1] appears more than once.").arg(section.name),
                      QStringLiteral("节 [%1] 重复出现。").arg(section.name))
                + nothingLoaded(language);
            return result;
        }
        seen.insert(lower, true);
        if (isHead)
            head = &section;
        else
            entrySections.append(&section);
    }
    QString version;
    bool versionOk = false;
    if (head && head->find(kVersionKey, &version))
        versionOk = version.toInt(&versionOk) >= 1 && versionOk;
    if (!versionOk) {
        result.message
            = localText(language,
                  QStringLiteral(
                      "%1 is not a Vantrel schedule: it has no [Schedule] section with a "
                      "Version from 1.")
                      .arg(name),
                  QStringLiteral("%1 不是 Vantrel 时间表：缺少含有效 Version 的 [Schedule] 节。")
                      .arg(name))
            + nothingLoaded(language);
        return result;
    }
    if (head->find(kDefaultKey, &schedule.defaultShow))
        schedule.defaultShow = schedule.defaultShow.trimmed();

    for (const IniSection *section : entrySections) {
        EntryTexts texts;
        texts.section = section->name;
        const std::pair<QString, QString *> keys[] = { { kShowKey, &texts.show },
            { kDaysKey, &texts.days }, { kFromKey, &texts.from }, { kToKey, &texts.to },
            { kDatesKey, &texts.dates }, { kTargetsKey, &texts.targets } };
        for (const auto &[key, text] : keys) {
            QString value;
            if (section->find(key, &value))
                *text = value.isNull() ? QStringLiteral("") : value;
        }
        ScheduleEntry entry;
        const QString fault = parseEntry(texts, language, &entry);
        if (!fault.isEmpty()) {
            result.message = fault + nothingLoaded(language);
            return result;
        }
        schedule.entries.append(entry);
    }
    const QString fault = checkShows(schedule, language);
    if (!fault.isEmpty()) {
        result.message = fault;
        return result;
    }
    result.schedule = schedule;
    result.ok = true;
    return result;
}

bool write(const QString &path, const Schedule &schedule, const QString &language, QString *message)
{
    const QString from = schedule.path.isEmpty() ? path : schedule.path;
    QList<IniSection> sections;
    IniSection head { kScheduleSection, { { kVersionKey, QString::number(kVersion) } } };
    if (!schedule.defaultShow.isEmpty())
        head.keys.append({ kDefaultKey, rebaseShow(schedule.defaultShow, from, path) });
    sections.append(head);
    for (int i = 0; i < schedule.entries.size(); ++i) {
        EntryTexts texts = textsOf(schedule.entries.at(i));
        // Written in order under fresh names, so the file reads back in the same order.
        texts.section = QStringLiteral("Entry%1").arg(i + 1);
        ScheduleEntry checked;
        const QString fault = parseEntry(texts, language, &checked);
        if (!fault.isEmpty()) {
            *message = fault
                + localText(language, QStringLiteral(" The schedule was not saved."),
                    QStringLiteral("时间表未保存。"));
            return false;
        }
        IniSection section { texts.section, { { kShowKey, rebaseShow(texts.show, from, path) } } };
        const std::pair<QString, QString> optional[]
            = { { kDaysKey, texts.days }, { kFromKey, texts.from }, { kToKey, texts.to },
                  { kDatesKey, texts.dates }, { kTargetsKey, texts.targets } };
        for (const auto &[key, value] : optional) {
            if (!value.isNull())
                section.keys.append({ key, value });
        }
        sections.append(section);
    }
    classIniFile ini;
    ini.setINIFileName(path);
    QString reason;
    if (!ini.WriteAllSections(sections, &reason)) {
        *message = localText(language,
            QStringLiteral("The schedule %1 could not be saved: %2. The file on disk is "
                           "unchanged.")
                .arg(QDir::toNativeSeparators(path), reason),
            QStringLiteral("无法保存时间表 %1：%2。磁盘上的文件未改变。")
                .arg(QDir::toNativeSeparators(path), reason));
        return false;
    }
    return true;
}

} // namespace ScheduleFile
