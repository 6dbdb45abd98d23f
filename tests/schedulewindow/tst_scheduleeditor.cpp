// The Schedule window's editing: entries added, removed and reordered, fields refused naming
// the entry and field, and a schedule saved to a real file and read back.

#include "scheduleeditor.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kShow = oneRowShow("welcome.rtf");

QStringList shows(const ScheduleEditor &editor)
{
    QStringList list;
    for (const ScheduleEntry &e : editor.schedule().entries)
        list.append(e.section + '=' + e.show);
    return list;
}

} // namespace

class tst_ScheduleEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void addRemoveAndMove();
    void fieldsRefused_data();
    void fieldsRefused();
    void saveAndReopen();
    void badShowIsNotSaved();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void tst_ScheduleEditor::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir(m_dir.path()).mkpath("shows"));
    QVERIFY(QFile::copy(
        QStringLiteral(VANTREL_SOURCE_DIR "/data/samples/welcome.rtf"), path("shows/welcome.rtf")));
    for (const char *name : { "a", "b", "c" })
        QVERIFY(writeFile(path(QStringLiteral("shows/%1.vshow").arg(name)), kShow));
}

void tst_ScheduleEditor::addRemoveAndMove()
{
    ScheduleEditor editor(m_dir.path());
    QVERIFY(!editor.isModified());
    for (const char *name : { "a", "b", "c" })
        QCOMPARE(editor.addEntry(path(QStringLiteral("shows/%1.vshow").arg(name))), QString());
    QVERIFY(editor.isModified());
    QCOMPARE(shows(editor),
        QStringList({ "Entry1=shows/a.vshow", "Entry2=shows/b.vshow", "Entry3=shows/c.vshow" }));

    // First match wins, so order is what the operator arranges; names follow the rows.
    QVERIFY(editor.moveEntry(2, -1) && editor.moveEntry(1, -1));
    QVERIFY(!editor.moveEntry(0, -1) && !editor.moveEntry(2, 1));
    QCOMPARE(shows(editor),
        QStringList({ "Entry1=shows/c.vshow", "Entry2=shows/a.vshow", "Entry3=shows/b.vshow" }));
    QVERIFY(editor.moveEntry(0, 1));
    editor.removeEntry(2);
    editor.removeEntry(7);
    QCOMPARE(shows(editor), QStringList({ "Entry1=shows/a.vshow", "Entry2=shows/c.vshow" }));
    QCOMPARE(editor.rowCount(), 2);

    // Both all day, every day: the first wins.
    QCOMPARE(editor.entryAt(QDateTime::currentDateTime()), 0);
    QCOMPARE(editor.inForceText(0), QStringLiteral("Entry1 — shows/a.vshow"));
    QVERIFY(editor.inForceText(Schedule::kDefault).contains("keep what they have"));
}

void tst_ScheduleEditor::fieldsRefused_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message"); // a part of the refusal

    const auto row = [](const char *name, int column, const QString &text, const QString &message,
                         const QString &language = QStringLiteral("English")) {
        QTest::newRow(name) << language << column << text << message;
    };
    row("day", ScheduleEditor::DaysColumn, "Mon-Fry", "[Entry2], key \"Days\": \"Mon-Fry\"");
    row("no show", ScheduleEditor::ShowColumn, " ", "[Entry2], key \"Show\"");
    row("missing show", ScheduleEditor::ShowColumn, "shows/gone.vshow", "[Entry2], key \"Show\"");
    row("chinese", ScheduleEditor::DaysColumn, "Mon-Fry", "[Entry2]，键“Days”",
        QStringLiteral("简体中文"));
}

void tst_ScheduleEditor::fieldsRefused()
{
    QFETCH(QString, language);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, message);
    ScheduleEditor editor(m_dir.path());
    editor.setLanguage(language);
    QVERIFY(editor.addEntry("shows/a.vshow").isEmpty());
    QVERIFY(editor.addEntry("shows/b.vshow").isEmpty());
    QCOMPARE(editor.setField(1, ScheduleEditor::FromColumn, "08:00"), QString());
    QCOMPARE(editor.setField(1, ScheduleEditor::ToColumn, "07:00"), QString());
    const auto texts = [&] {
        const ScheduleFile::EntryTexts t = ScheduleFile::textsOf(editor.schedule().entries.at(1));
        return QStringList { t.show, t.days, t.from, t.to, t.dates, t.targets };
    };
    const QStringList before = texts();

    // Through the table: refused with the message, the cell as it was.
    QSignalSpy refused(&editor, &ScheduleEditor::refused);
    QVERIFY(!editor.setData(editor.index(1, column), text));
    QCOMPARE(refused.size(), 1);
    const QString fault = refused.first().first().toString();
    QVERIFY2(fault.contains(message), qPrintable(fault));
    QCOMPARE(texts(), before);
}

void tst_ScheduleEditor::saveAndReopen()
{
    ScheduleEditor editor(m_dir.path());
    QVERIFY(editor.addEntry(path("shows/a.vshow")).isEmpty());
    QVERIFY(editor.addEntry(path("shows/b.vshow")).isEmpty());
    QVERIFY(editor.setDefaultShow(path("shows/c.vshow")).isEmpty());
    // The last three change what was set: an emptied optional field is no key at all.
    const std::tuple<int, int, QString> edits[] = { { 0, ScheduleEditor::DaysColumn, "mon-fri" },
        { 0, ScheduleEditor::FromColumn, "07:00" }, { 0, ScheduleEditor::ToColumn, "11:00" },
        { 1, ScheduleEditor::DatesColumn, "2026-12-20..2026-12-26" },
        { 1, ScheduleEditor::TargetsColumn, "127.0.0.1:5005, [::1]:5006" },
        { 0, ScheduleEditor::DaysColumn, "Sat-Sun" }, { 1, ScheduleEditor::ToColumn, "20:00" },
        { 1, ScheduleEditor::ToColumn, "" } };
    for (const auto &[row, column, text] : edits)
        QVERIFY2(editor.setData(editor.index(row, column), text), qPrintable(text));

    // Saved in another folder: show paths are rebased onto it.
    QVERIFY(QDir(m_dir.path()).mkpath("plans"));
    const QString file = path("plans/week.vsched");
    QCOMPARE(editor.saveTo(file), QString());
    QVERIFY(!editor.isModified());
    QCOMPARE(editor.filePath(), file);
    QCOMPARE(QDir(path("plans")).entryList(QDir::Files), QStringList({ "week.vsched" }));
    const QByteArray text = readFile(file);
    QVERIFY2(text.contains("Default=../shows/c.vshow") && text.contains("Days=Sat,Sun")
            && text.contains("Show=../shows/b.vshow\nDates=2026-12-20..2026-12-26\n"
                             "Targets=127.0.0.1:5005,[::1]:5006"),
        text.constData());

    ScheduleEditor reopened(m_dir.path());
    QCOMPARE(reopened.open(file), QString());
    QCOMPARE(reopened.rowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < ScheduleEditor::kColumnCount; ++column)
            QCOMPARE(reopened.index(row, column).data(), editor.index(row, column).data());
    }
    QCOMPARE(reopened.schedule().showPath(reopened.schedule().defaultShow), path("shows/c.vshow"));
    QVERIFY(!reopened.isModified());
}

void tst_ScheduleEditor::badShowIsNotSaved()
{
    QVERIFY(writeFile(path("shows/soon-gone.vshow"), kShow));
    ScheduleEditor editor(m_dir.path());
    QVERIFY(editor.addEntry("shows/a.vshow").isEmpty());
    QVERIFY(editor.addEntry("shows/soon-gone.vshow").isEmpty());
    QVERIFY(QFile::remove(path("shows/soon-gone.vshow")));
    const QString fault = editor.saveTo(path("gone.vsched"));
    QVERIFY2(
        fault.contains("[Entry2], key \"Show\"") && fault.contains("not saved"), qPrintable(fault));
    QVERIFY(!QFile::exists(path("gone.vsched")));
    QVERIFY(editor.isModified());
    // Nor does an opened file with a missing show replace what is being edited.
    QVERIFY(!editor.open(path("nothing-here.vsched")).isEmpty());
    QCOMPARE(editor.rowCount(), 2);
}

QTEST_MAIN(tst_ScheduleEditor)
#include "tst_scheduleeditor.moc"
