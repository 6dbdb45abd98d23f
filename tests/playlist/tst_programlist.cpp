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

QStringList column(const ProgramList &list, int column)
{
    QStringList texts;
    for (int row = 1; row <= list.rowCount(); ++row)
        texts.append(list.cellText(row, column));
    return texts;
}

} // namespace

class tst_ProgramList : public QObject
{
    Q_OBJECT

private slots:
    void addedRowsAreNumberedWithDefaultEffects()
    {
        ProgramList list;
        addFiles(list, { "a.rtf", "b.bmp", "c.rtf" });
        QCOMPARE(list.rowCount(), 3);
        QCOMPARE(column(list, ListColumn::Number), QStringList({ "1", "2", "3" }));
        for (int row = 1; row <= 3; ++row) {
            QCOMPARE(list.model()->rowTexts(row).mid(1, 8), ProgramList::defaultEffectValues());
            QCOMPARE(list.cellText(row, ListColumn::TWidth), QString("8"));
            QCOMPARE(list.cellText(row, ListColumn::THeight), QString("1"));
        }
        QCOMPARE(column(list, ListColumn::FilePath), QStringList({ "a.rtf", "b.bmp", "c.rtf" }));
        QCOMPARE(list.CurrentRow, qint16(0)); // adding selects nothing

        QVERIFY(list.removeRow(2));
        QCOMPARE(column(list, ListColumn::Number), QStringList({ "1", "2" }));
        QCOMPARE(column(list, ListColumn::FilePath), QStringList({ "a.rtf", "c.rtf" }));
        QVERIFY(!list.removeRow(3));
        QVERIFY(!list.removeRow(0));
    }

    void sameFileMayBeAddedTwice()
    {
        ProgramList list;
        addFiles(list, { "a.rtf", "a.rtf" });
        QCOMPARE(column(list, ListColumn::FilePath), QStringList({ "a.rtf", "a.rtf" }));
    }

    void pickBeforeAnyClickOnlyMovesCurrentRow()
    {
        ProgramList list;
        addFiles(list, { "a.rtf", "b.rtf" });
        const QStringList before = list.model()->rowTexts(1);
        QCOMPARE(list.ChangeListView(list.CurrentRow, ListColumn::Speed, "7"),
            ProgramList::Change::MovedToFirstRow);
        QCOMPARE(list.CurrentRow, qint16(1));
        QCOMPARE(list.model()->rowTexts(1), before);
        QCOMPARE(list.ChangeListView(list.CurrentRow, ListColumn::Speed, "7"),
            ProgramList::Change::Written);
        QCOMPARE(list.cellText(1, ListColumn::Speed), QString("7"));
        QCOMPARE(list.cellText(2, ListColumn::Speed), QString("3"));
    }

    void pickOnEmptyListAsksForAFile()
    {
        ProgramList list;
        for (const EffectLists::Selector &s : EffectLists::selectors())
            QCOMPARE(list.ChangeListView(list.CurrentRow, s.column, "1"),
                ProgramList::Change::ListEmpty);
        QCOMPARE(list.CurrentRow, qint16(0));
    }

    void removingTheCurrentLastRow()
    {
        ProgramList list;
        addFiles(list, { "a.rtf", "b.rtf", "c.rtf" });
        QVERIFY(!list.clickRow(3).isEmpty());
        QVERIFY(list.removeRow(3));
        QCOMPARE(list.CurrentRow, qint16(3)); // removal leaves it alone
        QVERIFY(!list.hasCurrentRow());
        QCOMPARE(list.ChangeListView(list.CurrentRow, ListColumn::Times, "5"),
            ProgramList::Change::MovedToFirstRow);
        QCOMPARE(list.CurrentRow, qint16(1));
        QCOMPARE(column(list, ListColumn::Times), QStringList({ "0", "0" }));
    }

    void currentRowInsideTheListKeepsBeingWritten()
    {
        ProgramList list;
        addFiles(list, { "a.rtf", "b.rtf", "c.rtf" });
        list.clickRow(2);
        QVERIFY(list.removeRow(2)); // row 3 moves up into position 2
        QCOMPARE(list.ChangeListView(list.CurrentRow, ListColumn::ERepeat, "9"),
            ProgramList::Change::Written);
        QCOMPARE(list.cellText(2, ListColumn::FilePath), QString("c.rtf"));
        QCOMPARE(list.cellText(2, ListColumn::ERepeat), QString("9"));
    }

    void loadingAndUnknownColumnsWriteNothing()
    {
        ProgramList list;
        addFiles(list, { "a.rtf" });
        list.clickRow(1);
        list.IsLoading = true;
        QCOMPARE(list.ChangeListView(1, ListColumn::Speed, "9"), ProgramList::Change::Skipped);
        list.IsLoading = false;
        QCOMPARE(list.ChangeListView(1, ListColumn::Number, "9"), ProgramList::Change::Skipped);
        QCOMPARE(list.ChangeListView(1, ListColumn::FilePath, "x"), ProgramList::Change::Skipped);
        QCOMPARE(list.ChangeListView(1, 42, "x"), ProgramList::Change::Skipped);
        QCOMPARE(list.model()->rowTexts(1),
            QStringList({ "1", "0", "3", "0", "1", "0", "3", "0", "1", "8", "1", "a.rtf" }));
    }

    void clickingAMissingRowChangesNothing()
    {
        ProgramList list;
        addFiles(list, { "a.rtf" });
        QVERIFY(list.clickRow(2).isEmpty());
        QCOMPARE(list.CurrentRow, qint16(0));
    }

    void fileBrowserTextWidth_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("width");
        QTest::newRow("first matching row wins") << "a.rtf" << 12;
        QTest::newRow("not listed") << "logo.bmp" << 0;
        QTest::newRow("letter case counts") << "A.rtf" << 0;
        QTest::newRow("width not a number") << "b.rtf" << 0;
    }
    void fileBrowserTextWidth()
    {
        QFETCH(QString, file);
        QFETCH(int, width);
        ProgramList list;
        list.AddFileToListView("b.rtf", "wide", "1");
        list.AddFileToListView("a.rtf", "12", "1");
        list.AddFileToListView("a.rtf", "20", "1");
        QCOMPARE(int(list.textWidthForFile(file)), width);
    }

    void listIsBoundedBySixteenBitRowNumbers()
    {
        ProgramList list;
        for (int i = 0; i < ProgramList::kMaxRows; ++i)
            list.model()->appendRow(
                { QString(), "0", "3", "0", "1", "0", "3", "0", "1", "8", "1", "a.rtf" });
        QVERIFY(!list.AddFileToListView("b.rtf", "8", "1"));
        QCOMPARE(list.rowCount(), ProgramList::kMaxRows);
    }

    void modelShowsRowsAndHeaders()
    {
        ProgramList list;
        QSignalSpy inserted(list.model(), &QAbstractItemModel::rowsInserted);
        addFiles(list, { "a.rtf" });
        QCOMPARE(inserted.count(), 1);
        const PlaylistModel &model = *list.model();
        QCOMPARE(model.columnCount(), 12);
        QCOMPARE(model.index(0, 11).data().toString(), QString("a.rtf"));
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString("NO."));
        QCOMPARE(model.headerData(11, Qt::Horizontal).toString(), QString("File Path"));
        QCOMPARE(model.index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>()
                & Qt::AlignHorizontal_Mask,
            Qt::AlignHCenter);
        QCOMPARE(model.index(0, 5).data(Qt::TextAlignmentRole).value<Qt::Alignment>()
                & Qt::AlignHorizontal_Mask,
            Qt::AlignLeft);
        QCOMPARE(PlaylistModel::columnWidthTwips(ListColumn::Number), 500);
        QCOMPARE(PlaylistModel::columnWidthTwips(ListColumn::THeight), 800);
        QCOMPARE(PlaylistModel::columnWidthTwips(ListColumn::FilePath), 5000);
    }

    void languageHeaderTexts()
    {
        PlaylistModel model;
        // An empty entry empties its header; entries beyond the twelfth are ignored.
        model.setHeaderTexts({ "序号", "", "速度" });
        QCOMPARE(model.headerTexts().mid(0, 4), QStringList({ "序号", "", "速度", "Times" }));
        model.setHeaderTexts(QStringList(13, "x"));
        QCOMPARE(model.headerTexts(), QStringList(12, "x"));
    }

    void selectorItemsAndColumns()
    {
        QCOMPARE(EffectLists::entryEffects().indexOf("zoomup"), 9);
        QCOMPARE(EffectLists::entryEffects().size(), 11);
        QCOMPARE(EffectLists::exitEffects().indexOf("none"), 0);
        QCOMPARE(EffectLists::exitEffects().size(), 6);
        QCOMPARE(EffectLists::itemsOf(EffectLists::Items::Times).first(), QString("0"));
        QCOMPARE(EffectLists::itemsOf(EffectLists::Items::Times).last(), QString("25"));
        QCOMPARE(EffectLists::itemsOf(EffectLists::Items::Repeats).last(), QString("125"));
        QCOMPARE(EffectLists::sizeItems().size(), 100);
        int column = ListColumn::Effect;
        for (const EffectLists::Selector &s : EffectLists::selectors())
            QCOMPARE(s.column, column++); // the column code is the column it writes
        QCOMPARE(QString(EffectLists::selectorForColumn(ListColumn::EEffect)->name),
            QString("CobEffectE"));
        QVERIFY(!EffectLists::selectorForColumn(ListColumn::FilePath));
    }

    void wholeNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("ok");
        QTest::newRow("plain") << "8" << 8 << true;
        QTest::newRow("blanks") << " 64 " << 64 << true;
        QTest::newRow("negative") << "-3" << -3 << true;
        QTest::newRow("empty") << "" << 0 << false;
        QTest::newRow("fraction") << "8.5" << 0 << false;
        QTest::newRow("words") << "eight" << 0 << false;
        QTest::newRow("beyond 16 bits") << "32768" << 0 << false;
    }
    void wholeNumbers()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(bool, ok);
        const std::optional<qint16> n = wholeNumber(text);
        QCOMPARE(n.has_value(), ok);
        if (ok)
            QCOMPARE(int(*n), value);
    }
};

QTEST_GUILESS_MAIN(tst_ProgramList)
#include "tst_programlist.moc"
