// The Schedule window opened from the main window's Tools menu: a schedule opened through the
// window's buttons, its week chart, refusals and unsaved changes, and the agent's state.

#include "agentstatepane.h"
#include "agentstatus.h"
#include "scheduleeditor.h"
#include "schedulewindow.h"
#include "testfiles.h"
#include "wallclock.h"
#include "weekchart.h"
#include "windowfixture.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace {

// Weekdays 07:00 to 11:00 breakfast; lunch every day 10:00 to 14:00, under breakfast where
// they overlap; Friday night past midnight; evening otherwise.
const QByteArray kWeek = "[Schedule]\nVersion=1\nDefault=evening.vshow\n\n"
                         "[Entry1]\nShow=breakfast.vshow\nDays=Mon-Fri\nFrom=07:00\nTo=11:00\n\n"
                         "[Entry2]\nShow=lunch.vshow\nFrom=10:00\nTo=14:00\n\n"
                         "[Entry3]\nShow=late.vshow\nDays=Fri\nFrom=22:00\nTo=02:00\n";

QStringList dayCells(const WeekChart *chart, int day)
{
    QStringList cells;
    for (const WeekChart::Cell &c : chart->cells()) {
        if (c.day == day) {
            cells.append(QStringLiteral("%1-%2 %3")
                             .arg(WallClock::minuteText(c.fromMinute),
                                 WallClock::minuteText(c.toMinute), c.show));
        }
    }
    return cells;
}

ScheduleWindow *openWindow(WindowFixture &fixture, const WindowSettings &settings = {})
{
    fixture.copySample("welcome.rtf");
    for (const char *name : { "breakfast", "lunch", "late", "evening" })
        fixture.writeFile(QStringLiteral("%1.vshow").arg(name), oneRowShow("welcome.rtf"));
    fixture.writeFile("week.vsched", kWeek);
    MDIFrmMain &main = fixture.startWith(settings);
    main.menus().schedule->trigger();
    auto *window = main.findChild<ScheduleWindow *>();
    if (window && !QTest::qWaitForWindowExposed(window))
        qWarning("the Schedule window was not exposed");
    return window;
}

} // namespace

class tst_ScheduleWindow : public QObject
{
    Q_OBJECT

private slots:
    void openedFromToolsMenu();
    void refusalsAndUnsavedChanges();
};

void tst_ScheduleWindow::openedFromToolsMenu()
{
    WindowFixture fixture;
    // The agent's state as it left it in the program folder.
    AgentStatus status;
    status.schedule = fixture.path("week.vsched");
    status.entry = QStringLiteral("Entry1");
    status.show = fixture.path("breakfast.vshow");
    status.since = QDateTime(QDate(2026, 12, 7), QTime(7, 0));
    status.updated = QDateTime(QDate(2026, 12, 7), QTime(7, 0, 3));
    status.targets.append({ "127.0.0.1:5005", status.show, "succeeded", status.updated, {}, {} });
    const QString statusFile = fixture.path(AgentStatusFile::fileName());
    QVERIFY(AgentStatusFile::write(statusFile, status));

    ScheduleWindow *window = openWindow(fixture);
    QVERIFY(window && window->isVisible());
    fixture.dialogs.answers << fixture.path("week.vsched");
    window->findChild<QPushButton *>("CmdScheduleOpen")->click();
    QCOMPARE(fixture.dialogs.requests.last().filter,
        QStringLiteral("Vantrel schedule (*.vsched)|*.vsched"));
    QCOMPARE(window->entryTable()->model()->rowCount(), 3);
    QCOMPARE(window->entryTable()->model()->index(0, ScheduleEditor::DaysColumn).data().toString(),
        QStringLiteral("Mon-Fri"));
    QVERIFY(window->windowTitle().startsWith("week.vsched"));
    QVERIFY(window->inForceText().contains(" — "));

    // The chart draws the winner where entries overlap, the default between them.
    const WeekChart *chart = window->chart();
    QCOMPARE(chart->monday().dayOfWeek(), 1);
    QCOMPARE(dayCells(chart, 0),
        QStringList({ "00:00-07:00 evening.vshow", "07:00-11:00 breakfast.vshow",
            "11:00-14:00 lunch.vshow", "14:00-24:00 evening.vshow" }));
    QCOMPARE(chart->cells().at(1).overlappedNames, QStringList({ "Entry2 lunch.vshow" }));
    QVERIFY(chart->cells().at(2).overlapped.isEmpty());
    QCOMPARE(dayCells(chart, 4).last(), QStringLiteral("22:00-24:00 late.vshow"));
    QCOMPARE(dayCells(chart, 5).first(), QStringLiteral("00:00-02:00 late.vshow"));
    QCOMPARE(dayCells(chart, 6).first(), QStringLiteral("00:00-10:00 evening.vshow"));
    QStringList legend;
    for (const WeekChart::LegendItem &item : chart->legend())
        legend.append(item.overlapMark ? "overlap" : item.show + (item.isDefault ? "*" : ""));
    QCOMPARE(legend,
        QStringList(
            { "breakfast.vshow", "lunch.vshow", "late.vshow", "evening.vshow*", "overlap" }));
    // A colour per show whatever the order of the entries; no two shows alike.
    const QStringList shows { "evening.vshow", "LUNCH.vshow", "a.vshow", "b.vshow", "c.vshow" };
    const QHash<QString, QColor> colours = WeekChart::showColours(shows);
    QCOMPARE(
        WeekChart::showColours({ "c.vshow", "b.vshow", "lunch.vshow", "a.vshow", "evening.vshow" })
            .value("lunch.vshow"),
        colours.value("LUNCH.vshow"));
    QSet<QRgb> distinct;
    for (const QString &show : shows)
        distinct.insert(colours.value(show).rgb());
    QCOMPARE(distinct.size(), shows.size());

    // Moving lunch above breakfast gives it the overlap; the chart follows.
    window->entryTable()->setCurrentIndex(window->editor()->index(1, 0));
    window->findChild<QPushButton *>("CmdEntryUp")->click();
    QCOMPARE(dayCells(chart, 0).at(1), QStringLiteral("07:00-10:00 breakfast.vshow"));
    QVERIFY(window->isWindowModified());

    // The menu raises the window it has rather than opening another.
    fixture.window().menus().schedule->trigger();
    QCOMPARE(fixture.window().findChildren<ScheduleWindow *>().size(), 1);

    // Saved through Save As under a name typed without the suffix.
    fixture.dialogs.answers << fixture.path("reordered");
    window->findChild<QPushButton *>("CmdScheduleSaveAs")->click();
    QVERIFY(!window->isWindowModified());
    QVERIFY(fixture.bytes("reordered.vsched").contains("[Entry1]\nShow=lunch.vshow"));

    // The agent's state in its pane.
    QTableWidget *table = window->agentState()->ListAgentTargets();
    QCOMPARE(headers(table).last(), QStringLiteral("Last failure"));
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->item(0, 2)->text(), QStringLiteral("succeeded"));
    QVERIFY(window->agentState()->summary()->text().contains("Entry1"));

    // The agent replaces the file: the table follows without a click.
    status.targets.append({ "127.0.0.1:5006", status.show, "not reached", status.updated,
        status.updated.addSecs(10), "Connection refused" });
    QVERIFY(AgentStatusFile::write(statusFile, status));
    QTRY_COMPARE_WITH_TIMEOUT(table->rowCount(), 2, 5000);
    QCOMPARE(table->item(1, 2)->text(), QStringLiteral("not reached"));
    QCOMPARE(table->item(1, 4)->text(), QStringLiteral("2026-12-07 07:00:13"));
    QCOMPARE(table->item(1, 5)->text(), QStringLiteral("Connection refused"));
    window->agentState()->setLanguage(QStringLiteral("简体中文"));
    QCOMPARE(table->item(0, 2)->text() + table->item(1, 2)->text(), QStringLiteral("成功未连接"));
    window->agentState()->setLanguage(QStringLiteral("English"));

    // Gone: the pane says the agent has not run here.
    QVERIFY(QFile::remove(statusFile));
    window->findChild<QPushButton *>("CmdAgentRefresh")->click();
    QCOMPARE(table->rowCount(), 0);
    QVERIFY(window->agentState()->summary()->text().contains("has not run"));
}

void tst_ScheduleWindow::refusalsAndUnsavedChanges()
{
    WindowFixture fixture;
    WindowSettings chinese;
    chinese.language = QStringLiteral("简体中文");
    ScheduleWindow *window = openWindow(fixture, chinese);
    QVERIFY(window);
    QCOMPARE(headers(window->entryTable()),
        QStringList({ "节目", "星期", "开始", "结束", "日期", "目标" }));
    QCOMPARE(window->findChild<QLabel *>("LblInForce")->text(), QStringLiteral("当前生效："));

    // Add asks for the show; a cancelled dialog adds nothing.
    fixture.dialogs.answers << fixture.path("breakfast.vshow") << QString();
    auto *add = window->findChild<QPushButton *>("CmdEntryAdd");
    add->click();
    add->click();
    QCOMPARE(window->editor()->rowCount(), 1);

    // A bad value typed into a cell is refused in the user's language, naming the entry.
    const int shown = fixture.prompts.prompts.size();
    QVERIFY(!window->editor()->setData(
        window->editor()->index(0, ScheduleEditor::FromColumn), "25:00"));
    QTRY_COMPARE(fixture.prompts.prompts.size(), shown + 1);
    QVERIFY2(fixture.prompts.texts().last().startsWith("[Entry1]，键“From”"),
        qPrintable(fixture.prompts.texts().last()));

    // Closing with unsaved changes asks; Cancel keeps the window and its schedule.
    fixture.prompts.confirmAnswer = false;
    QVERIFY(!window->close() && window->isVisible());
    QVERIFY(fixture.prompts.prompts.last().question);
    // So does quitting: the main window stays open with it.
    const int asked = fixture.prompts.prompts.size();
    QVERIFY(!fixture.window().close());
    QVERIFY(fixture.window().isVisible() && window->isVisible());
    QCOMPARE(fixture.prompts.prompts.size(), asked + 1);
    QVERIFY(!window->openFile(fixture.path("week.vsched")));
    QCOMPARE(window->editor()->rowCount(), 1);
    fixture.prompts.confirmAnswer = true;
    QVERIFY(window->openFile(fixture.path("week.vsched")));
    QCOMPARE(window->editor()->rowCount(), 3);
}

QTEST_MAIN(tst_ScheduleWindow)
#include "tst_schedulewindow.moc"
