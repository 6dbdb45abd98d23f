#include "effectlists.h"
#include "programlist.h"
#include "wholenumber.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// A list with one row per name, all of text size 8 x 1.
void addFiles(ProgramList &list, const QStringList &names)
{
    for (const QString &name : names)
        QVERIFY(list.AddFileToListView(name, QStringLiteral("8"), QStringLiteral("1")));
}

// Every row's twelve texts joined by blanks.
QStringList rows(const ProgramList &list)
{
    QStringList texts;
    for (int row = 1; row <= list.rowCount(); ++row)
        texts.append(list.model()->rowTexts(row).join(' '));
    return texts;
}

} // namespace

class tst_ProgramList : public QObject
{
    Q_OBJECT

private slots:
    void addRenumberAndRemove()
    {
        ProgramList list;
        QSignalSpy inserted(list.model(), &QAbstractItemModel::rowsInserted);
        addFiles(list, { "a.rtf", "b.bmp", "a.rtf" }); // the same file may be listed twice
        QCOMPARE(inserted.count(), 3);
        QCOMPARE(rows(list),
            QStringList({ "1 0 3 0 1 0 3 0 1 8 1 a.rtf", "2 0 3 0 1 0 3 0 1 8 1 b.bmp",
                "3 0 3 0 1 0 3 0 1 8 1 a.rtf" }));
        QCOMPARE(list.CurrentRow, qint16(0)); // adding selects nothing

        QVERIFY(list.removeRow(2));
        QVERIFY(!list.removeRow(3));
        QVERIFY(!list.removeRow(0));
        QCOMPARE(rows(list),
            QStringList({ "1 0 3 0 1 0 3 0 1 8 1 a.rtf", "2 0 3 0 1 0 3 0 1 8 1 a.rtf" }));
    }

    void listIsBoundedBySixteenBitRowNumbers()
    {
        ProgramList list;
        for (int i = 0; i < ProgramList::kMaxRows; ++i)
            list.model()->appendRow({ QString(), "0", "3", "0", "1", "0", "3", "0", "1" });
        QVERIFY(!list.AddFileToListView("b.rtf", "8", "1"));
        QCOMPARE(list.rowCount(), ProgramList::kMaxRows);
    }

    void picksWriteOnlyToAValidCurrentRow()
    {
        ProgramList list;
        for (const EffectLists::Selector &s : EffectLists::selectors())
            QCOMPARE(list.ChangeListView(list.CurrentRow, s.column, "1"),
                ProgramList::Change::ListEmpty);
        QCOMPARE(list.CurrentRow, qint16(0));

        // Before any click a pick only makes row 1 current; the next one writes.
        addFiles(list, { "a.rtf", "b.rtf", "c.rtf" });
        QCOMPARE(list.ChangeListView(list.CurrentRow, ListColumn::Speed, "7"),
            ProgramList::Change::MovedToFirstRow);
        QCOMPARE(list.CurrentRow, qint16(1));
        QCOMPARE(list.cellText(1, ListColumn::Speed), QString("3"));
        QCOMPARE(list.ChangeListView(list.CurrentRow, ListColumn::Speed, "7"),
            ProgramList::Change::Written);
        QCOMPARE(list.cellText(1, ListColumn::Speed), QString("7"));
        QCOMPARE(list.cellText(2, ListColumn::Speed), QString("3"));

        // A missing row cannot be clicked.
        QVERIFY(list.clickRow(4).isEmpty());
        QCOMPARE(list.CurrentRow, qint16(1));

        // Removal leaves CurrentRow alone: row 3 moves into position 2 and is written there.
        QCOMPARE(list.clickRow(2), list.model()->rowTexts(2));
        QVERIFY(list.removeRow(2));
        QCOMPARE(list.ChangeListView(list.CurrentRow, ListColumn::ERepeat, "9"),
            ProgramList::Change::Written);
        QCOMPARE(rows(list).at(1), QString("2 0 3 0 1 0 3 0 9 8 1 c.rtf"));

        // Once it names no row, the next pick moves back to row 1.
        QVERIFY(list.removeRow(2));
        QCOMPARE(list.CurrentRow, qint16(2));
        QVERIFY(!list.hasCurrentRow());
        QCOMPARE(list.ChangeListView(list.CurrentRow, ListColumn::Times, "5"),
            ProgramList::Change::MovedToFirstRow);
        QCOMPARE(list.CurrentRow, qint16(1));
        QCOMPARE(list.cellText(1, ListColumn::Times), QString("0"));
    }

    void loadingAndUnknownColumnsWriteNothing()
    {
        ProgramList list;
        addFiles(list, { "a.rtf" });
        list.clickRow(1);
        list.IsLoading = true;
        QCOMPARE(list.ChangeListView(1, ListColumn::Speed, "9"), ProgramList::Change::Skipped);
        list.IsLoading = false;
        for (int column : { ListColumn::Number, ListColumn::FilePath, 42 })
            QCOMPARE(list.ChangeListView(1, column, "9"), ProgramList::Change::Skipped);
        QCOMPARE(rows(list), QStringList({ "1 0 3 0 1 0 3 0 1 8 1 a.rtf" }));
        QCOMPARE(list.ChangeListView(1, ListColumn::Speed, "9"), ProgramList::Change::Written);
    }

    void fileBrowserTextWidth()
    {
        ProgramList list;
        list.AddFileToListView("b.rtf", "wide", "1");
        list.AddFileToListView("a.rtf", "12", "1");
        list.AddFileToListView("a.rtf", "20", "1");
        QCOMPARE(list.textWidthForFile("a.rtf"), qint16(12)); // the first matching row
        QCOMPARE(list.textWidthForFile("logo.bmp"), qint16(0));
        QCOMPARE(list.textWidthForFile("A.rtf"), qint16(0)); // letter case counts
        QCOMPARE(list.textWidthForFile("b.rtf"), qint16(0)); // width not a number
    }

    void headerTexts()
    {
        // An empty entry empties its header; entries beyond the twelfth are ignored.
        PlaylistModel model;
        model.setHeaderTexts({ "序号", "", "速度" });
        QCOMPARE(model.headerTexts().mid(0, 4), QStringList({ "序号", "", "速度", "Times" }));
        model.setHeaderTexts(QStringList(13, "x"));
        QCOMPARE(model.headerTexts(), QStringList(12, "x"));
    }

    void wholeNumbers()
    {
        const QList<QPair<QString, std::optional<qint16>>> cases { { "8", 8 }, { " 64 ", 64 },
            { "-3", -3 }, { "", {} }, { "8.5", {} }, { "eight", {} }, { "32768", {} } };
        for (const auto &[text, value] : cases)
            QCOMPARE(wholeNumber(text), value);
    }
};

QTEST_GUILESS_MAIN(tst_ProgramList)
#include "tst_programlist.moc"
