// vantrel-cli schedule check, at and status, run as a user runs them.

#include "agentstatus.h"
#include "cliprocess.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kWeek = "[Schedule]\nVersion=1\nDefault=evening.vshow\n\n"
                         "[Entry1]\nShow=breakfast.vshow\nDays=Mon-Fri\nFrom=07:00\nTo=11:00\n\n"
                         "[Entry2]\nShow=evening.vshow\nDays=Fri\nFrom=22:00\nTo=02:00\n";

} // namespace

class tst_CliSchedule : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(writeFile(m_dir.filePath("page.rtf"), "{\\rtf1 x}"));
        QVERIFY(writeFile(m_dir.filePath("breakfast.vshow"), oneRowShow("page.rtf", "3")));
        QVERIFY(writeFile(m_dir.filePath("evening.vshow"), oneRowShow("page.rtf", "1")));
        // Valid as a show file, but the sign takes no Speed of 8 or more.
        QVERIFY(writeFile(m_dir.filePath("tooquick.vshow"), oneRowShow("page.rtf", "9")));
        QVERIFY(QDir(m_dir.path()).mkpath("zh"));
        QVERIFY(writeFile(m_dir.filePath("zh/BaseSet.ini"), "[Language]\nLanguage=简体中文\n"));
    }

    void checkPrintsTheWeek()
    {
        const CliRun run = runCli(
            { "schedule", "check", schedule(kWeek), "--week", "2026-12-10" }, m_dir.path());
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QString out = run.out;
        QVERIFY(out.contains("Entry1\tbreakfast.vshow\tDays=Mon-Fri From=07:00 To=11:00\n"));
        QVERIFY(out.contains("every show builds its packets\n"));
        QVERIFY(out.contains("The week of 2026-12-07:\n"));
        QVERIFY2(out.contains("Fri 2026-12-11\n    00:00-07:00\tDefault\tevening.vshow\n"
                              "    07:00-11:00\tEntry1\tbreakfast.vshow\n"
                              "    11:00-22:00\tDefault\tevening.vshow\n"
                              "    22:00-24:00\tEntry2\tevening.vshow\n"
                              "Sat 2026-12-12\n    00:00-02:00\tEntry2\tevening.vshow\n"
                              "    02:00-24:00\tDefault\tevening.vshow\nSun"),
            qPrintable(out));
    }

    void checkRefuses_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("message");
        QTest::newRow("a show the sign cannot take")
            << QByteArray("[Schedule]\nVersion=1\n\n[Entry1]\nShow=tooquick.vshow\n") << ""
            << "[Entry1], key \"Show\": the show cannot be sent";
        QTest::newRow("a bad day, in Chinese")
            << QByteArray("[Schedule]\nVersion=1\n\n[Entry1]\nShow=evening.vshow\nDays=Mo\n")
            << "zh"
            << "[Entry1]，键“Days”：“Mo”不是星期列表";
    }

    void checkRefuses()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, folder);
        QFETCH(QString, message);
        const CliRun run = runCli({ "schedule", "check", schedule(contents) },
            folder.isEmpty() ? m_dir.path() : m_dir.filePath(folder));
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
    }

    void at_data()
    {
        QTest::addColumn<QString>("when");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("line");
        QTest::newRow("breakfast") << "2026-12-08 07:00" << 0 << "Entry1\tbreakfast.vshow\t";
        QTest::newRow("Saturday morning") << "2026-12-12 01:59" << 0 << "Entry2\tevening.vshow\t";
        QTest::newRow("default") << "2026-12-08 11:00" << 0 << "Default\tevening.vshow\t";
        QTest::newRow("not a time") << "2026-12-08 7:00" << 64 << "";
    }

    void at()
    {
        QFETCH(QString, when);
        QFETCH(int, exitCode);
        QFETCH(QString, line);
        const CliRun run = runCli({ "schedule", "at", schedule(kWeek), when }, m_dir.path());
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(
            line.isEmpty() ? run.out.isEmpty() : run.out.startsWith(line), qPrintable(run.out));
    }

    void status()
    {
        QTemporaryDir folder;
        CliRun run = runCli({ "schedule", "status" }, folder.path());
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("vantrel-agent has not run"), qPrintable(run.err));
        AgentStatus status;
        status.schedule = "/s/week.vsched";
        status.entry = "Entry1";
        status.show = "/s/breakfast.vshow";
        status.since = QDateTime(QDate(2026, 12, 7), QTime(7, 0));
        status.targets.append({ "10.0.0.6:5005", "/s/breakfast.vshow", "not reached",
            QDateTime(QDate(2026, 12, 7), QTime(7, 0, 3)),
            QDateTime(QDate(2026, 12, 7), QTime(7, 0, 13)), "connection refused" });
        QVERIFY(AgentStatusFile::write(folder.filePath(AgentStatusFile::fileName()), status));
        run = runCli({ "schedule", "status" }, folder.path());
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("In force: Entry1 /s/breakfast.vshow since 2026-12-07 07:00:00\n")
                && run.out.contains(
                    "10.0.0.6:5005\tnot reached\t2026-12-07 07:00:03\t"
                    "2026-12-07 07:00:13\t/s/breakfast.vshow\tconnection refused\n"),
            qPrintable(run.out));
    }

private:
    QString schedule(const QByteArray &contents)
    {
        static int count = 0;
        const QString path = m_dir.filePath(QStringLiteral("s%1.vsched").arg(++count));
        writeFile(path, contents);
        return path;
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(tst_CliSchedule)
#include "tst_clischedule.moc"
