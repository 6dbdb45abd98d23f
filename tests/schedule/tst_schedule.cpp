// Schedules: which entry is in force at a moment (midnight spans, date ranges, overlaps and
// Berlin's daylight-saving days), when the next change comes, and schedule files. The week
// table is tried where it is shown: vantrel-cli schedule check and the Schedule window.

#include "schedulefile.h"
#include "testfiles.h"
#include "wallclock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kEnglish = QStringLiteral("English");

// Entries as "Key=Value;Key=Value", one text per entry; each shows "showN.vshow".
Schedule scheduleOf(const QStringList &entries)
{
    Schedule schedule;
    schedule.path = QStringLiteral("/shows/week.vsched");
    schedule.defaultShow = QStringLiteral("evening.vshow");
    for (const QString &text : entries) {
        ScheduleFile::EntryTexts texts;
        texts.section = QStringLiteral("Entry%1").arg(schedule.entries.size() + 1);
        texts.show = QStringLiteral("show%1.vshow").arg(schedule.entries.size() + 1);
        for (const QString &pair : text.split(';')) {
            const QString key = pair.section('=', 0, 0);
            const QString value = pair.section('=', 1);
            QString *target = key == "Days" ? &texts.days
                : key == "From"             ? &texts.from
                : key == "To"               ? &texts.to
                : key == "Dates"            ? &texts.dates
                                            : &texts.targets;
            *target = value;
        }
        ScheduleEntry entry;
        const QString fault = ScheduleFile::parseEntry(texts, kEnglish, &entry);
        if (!fault.isEmpty())
            qFatal("%s", qPrintable(fault));
        schedule.entries.append(entry);
    }
    return schedule;
}

QDateTime moment(const QString &text)
{
    // "Z" at the end: UTC, so the two passes of a repeated hour can be told apart.
    const QDateTime m = QDateTime::fromString(text, Qt::ISODate);
    if (!m.isValid())
        qFatal("bad moment %s", qPrintable(text));
    return m;
}

const QStringList kBreakfastAndHoliday { "Days=Mon-Fri;From=07:00;To=11:00",
    "Dates=2026-12-20..2026-12-26" };
const QStringList kFridayNight { "Days=Fri;From=22:00;To=02:00" };
const QStringList kNewYearsEve { "Dates=2026-12-31..2026-12-31;From=20:00;To=03:00" };
// Sundays of the clock changes: 2026-03-29 02:00 CET -> 03:00 CEST, 2026-10-25 03:00 CEST
// -> 02:00 CET.
const QStringList kStartsInChangedHour { "Days=Sun;From=02:30;To=06:00" };
const QStringList kEndsInChangedHour { "From=01:00;To=02:30" };

} // namespace

class tst_Schedule : public QObject
{
    Q_OBJECT

private slots:
    void entryInForce_data();
    void entryInForce();
    void nextChange_data();
    void nextChange();
    void refusesBadFiles_data();
    void refusesBadFiles();
    void readsWhatItWrites();

private:
    QTemporaryDir m_dir;
};

void tst_Schedule::entryInForce_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("at");
    QTest::addColumn<QString>("entry");
    const auto row = [](const char *name, const QStringList &entries, const QString &at,
                         const QString &entry) { QTest::newRow(name) << entries << at << entry; };
    row("before breakfast", kBreakfastAndHoliday, "2026-12-07T06:59", "Default");
    row("breakfast begins", kBreakfastAndHoliday, "2026-12-07T07:00", "Entry1");
    row("breakfast's last minute", kBreakfastAndHoliday, "2026-12-11T10:59:59", "Entry1");
    row("breakfast ends", kBreakfastAndHoliday, "2026-12-07T11:00", "Default");
    row("no breakfast on Saturday", kBreakfastAndHoliday, "2026-12-12T08:00", "Default");
    row("first match wins in the holiday", kBreakfastAndHoliday, "2026-12-21T08:00", "Entry1");
    row("holiday after breakfast", kBreakfastAndHoliday, "2026-12-21T12:00", "Entry2");
    row("holiday's first minute", kBreakfastAndHoliday, "2026-12-20T00:00", "Entry2");
    row("holiday over", kBreakfastAndHoliday, "2026-12-27T00:00", "Default");
    row("Friday night", kFridayNight, "2026-12-11T23:00", "Entry1");
    row("Friday night on Saturday", kFridayNight, "2026-12-12T01:59", "Entry1");
    row("Friday night over", kFridayNight, "2026-12-12T02:00", "Default");
    row("not Thursday night", kFridayNight, "2026-12-11T01:00", "Default");
    row("eve into the new year", kNewYearsEve, "2027-01-01T02:59", "Entry1");
    row("not the morning of the eve", kNewYearsEve, "2026-12-31T02:00", "Default");
    row("skipped hour: before the gap", kStartsInChangedHour, "2026-03-29T00:59:59Z", "Default");
    row("skipped hour: gap's end", kStartsInChangedHour, "2026-03-29T01:00:00Z", "Entry1");
    row("repeated hour: first 02:29", kStartsInChangedHour, "2026-10-25T00:29:00Z", "Default");
    row("repeated hour: first 02:30", kStartsInChangedHour, "2026-10-25T00:30:00Z", "Entry1");
    row("repeated hour: second 02:00", kStartsInChangedHour, "2026-10-25T01:00:00Z", "Entry1");
    row("repeated hour: second 02:29", kStartsInChangedHour, "2026-10-25T01:29:00Z", "Entry1");
    row("repeated hour: end once", kEndsInChangedHour, "2026-10-25T00:30:00Z", "Default");
    row("repeated hour: no second start", kEndsInChangedHour, "2026-10-25T01:10:00Z", "Default");
    row("after the repeated hour", kEndsInChangedHour, "2026-10-26T00:00:00Z", "Entry1");
}

void tst_Schedule::entryInForce()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, at);
    QFETCH(QString, entry);
    const Schedule schedule = scheduleOf(entries);
    QCOMPARE(schedule.entryName(schedule.entryAt(WallClock::wallAt(moment(at)))), entry);
}

void tst_Schedule::nextChange_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("next"); // UTC; "" for none within the horizon
    const auto row = [](const char *name, const QStringList &entries, const QString &after,
                         const QString &next) { QTest::newRow(name) << entries << after << next; };
    row("breakfast", kBreakfastAndHoliday, "2026-12-07T05:00:00Z", "2026-12-07T06:00:00Z");
    row("over the weekend", kBreakfastAndHoliday, "2026-12-11T10:00:00Z", "2026-12-14T06:00:00Z");
    row("at a boundary, the next one", kBreakfastAndHoliday, "2026-12-07T06:00:00Z",
        "2026-12-07T10:00:00Z");
    row("into the holiday", kBreakfastAndHoliday, "2026-12-18T10:00:00Z", "2026-12-19T23:00:00Z");
    row("skipped hour: at the end of the gap", kStartsInChangedHour, "2026-03-29T00:30:00Z",
        "2026-03-29T01:00:00Z");
    row("repeated hour: the end, not the second 02:30", kStartsInChangedHour,
        "2026-10-25T00:45:00Z", "2026-10-25T05:00:00Z");
    row("repeated hour: ends once, starts next day", kEndsInChangedHour, "2026-10-25T00:30:00Z",
        "2026-10-26T00:00:00Z");
    row("nothing changes", QStringList(), "2026-12-07T05:00:00Z", "");
}

void tst_Schedule::nextChange()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, after);
    QFETCH(QString, next);
    const QDateTime found = WallClock::nextChange(scheduleOf(entries), moment(after));
    QCOMPARE(found.isValid() ? found.toUTC().toString(Qt::ISODate) : QString(), next);
}

void tst_Schedule::refusesBadFiles_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("message");
    // `sections` follow a sound [Schedule]; most are one entry with Show=good.vshow.
    const auto row = [](const char *name, const QByteArray &sections, const QString &message) {
        QTest::newRow(name) << "[Schedule]\nVersion=1\n\n" + sections << message;
    };
    const auto entry = [&](const char *name, const QByteArray &keys, const QString &message) {
        row(name, "[Entry1]\nShow=good.vshow\n" + keys, message);
    };
    entry("bad day", "Days=Mon-Fry\n", "[Entry1], key \"Days\": \"Mon-Fry\" is not a list of days");
    entry("not HH:MM", "\n[Entry2]\nShow=good.vshow\nFrom=7h00\n",
        "[Entry2], key \"From\": \"7h00\" is not a time of day");
    entry("hour 24", "To=24:00\n", "[Entry1], key \"To\": \"24:00\" is not a time of day");
    entry("From equal to To", "From=07:00\nTo=07:00\n",
        "[Entry1], key \"To\": \"07:00\" is the same as From");
    entry("backwards dates", "Dates=2026-12-26..2026-12-20\n",
        "[Entry1], key \"Dates\": \"2026-12-26..2026-12-20\" ends before it begins");
    entry("bad date", "Dates=2026-02-30\n", "[Entry1], key \"Dates\": \"2026-02-30\" is not");
    entry("bad target", "Targets=10.0.0.5:5005, 10.0.0.6:70000\n",
        "[Entry1], key \"Targets\": \"10.0.0.6:70000\" is not address:port");
    entry("twice", "[entry1]\nShow=good.vshow\n", "The section [entry1] appears more than once");
    row("no show", "[Entry1]\nDays=Mon\n", "[Entry1], key \"Show\": the key is missing");
    row("missing show", "[Entry1]\nShow=gone.vshow\n", "[Entry1], key \"Show\": The show ");
    row("bad show", "[Entry1]\nShow=bad.vshow\n", "[Entry1], key \"Show\": ");
    row("mistyped entry", "[Entry 2]\nShow=good.vshow\n", "The section [Entry 2] is not an entry");
    QTest::newRow("bad default") << QByteArray("[Schedule]\nVersion=1\nDefault=bad.vshow\n")
                                 << "[Schedule], key \"Default\": ";
    QTest::newRow("no head") << QByteArray("[Entry1]\nShow=good.vshow\n")
                             << "is not a Vantrel schedule";
}

void tst_Schedule::refusesBadFiles()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, message);
    QVERIFY(writeFile(m_dir.filePath("page.rtf"), "{\\rtf1 x}"));
    QVERIFY(writeFile(m_dir.filePath("good.vshow"), oneRowShow("page.rtf")));
    QVERIFY(writeFile(m_dir.filePath("bad.vshow"), "[Show]\nVersion=1\n\n[Row1]\nEffect=99\n"));
    const QString path = m_dir.filePath("bad.vsched");
    QVERIFY(writeFile(path, contents));
    const ScheduleFile::ReadResult result = ScheduleFile::read(path, kEnglish);
    QVERIFY(!result.ok);
    QVERIFY2(result.message.contains(message), qPrintable(result.message));
}

void tst_Schedule::readsWhatItWrites()
{
    QVERIFY(QDir(m_dir.path()).mkpath("shows"));
    QVERIFY(writeFile(m_dir.filePath("shows/page.rtf"), "{\\rtf1 x}"));
    for (const char *name : { "shows/a.vshow", "shows/b.vshow" })
        QVERIFY(writeFile(m_dir.filePath(name), oneRowShow("page.rtf")));
    const QString first = m_dir.filePath("shows/week.vsched");
    QVERIFY(writeFile(first,
        "[Schedule]\nVersion=1\nDefault=b.vshow\nColour=blue\n\n[Later]\nX=1\n\n"
        "[Entry7]\nShow=a.vshow\nDays=sat,sun,mon\nFrom=7:05\nNote=ignored\n\n"
        "[Entry2]\nShow=b.vshow\nTo=03:00\nDates=2026-12-24\nTargets=[::1]:5005,sign:1\n"));
    const ScheduleFile::ReadResult read = ScheduleFile::read(first, kEnglish);
    QVERIFY2(read.ok, qPrintable(read.message));
    QCOMPARE(read.schedule.entries.size(), 2);
    QCOMPARE(read.schedule.entries.at(0).section, QStringLiteral("Entry7"));
    QCOMPARE(
        ScheduleFile::daysText(read.schedule.entries.at(0).days), QStringLiteral("Mon,Sat,Sun"));

    // Saved elsewhere, the shows keep pointing at the same files.
    const QString second = m_dir.filePath("copy.vsched");
    QString message;
    QVERIFY2(ScheduleFile::write(second, read.schedule, kEnglish, &message), qPrintable(message));
    const ScheduleFile::ReadResult again = ScheduleFile::read(second, kEnglish);
    QVERIFY2(again.ok, qPrintable(again.message));
    QCOMPARE(again.schedule.defaultShow, QStringLiteral("shows/b.vshow"));
    QStringList texts;
    for (const ScheduleEntry &e : again.schedule.entries) {
        const ScheduleFile::EntryTexts t = ScheduleFile::textsOf(e);
        texts << QStringList { t.section, t.show, t.days, t.from, t.to, t.dates, t.targets }.join(
            '|');
    }
    QCOMPARE(texts,
        QStringList({ "Entry1|shows/a.vshow|Mon,Sat,Sun|07:05|||",
            "Entry2|shows/b.vshow|||03:00|2026-12-24..2026-12-24|[::1]:5005,sign:1" }));
}

QTEST_GUILESS_MAIN(tst_Schedule)
#include "tst_schedule.moc"
