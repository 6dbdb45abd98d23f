// The program list: rows added, picked, written and removed. Show files on disk: a saved list
// reads back equal, paths follow the show's folder, and every kind of bad file is refused
// naming its row and key, with nothing returned. Also the pages a folder lists.

#include "effectlists.h"
#include "pagefolder.h"
#include "programlist.h"
#include "rowsource.h"
#include "showfile.h"
#include "testfiles.h"
#include "wholenumber.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

const QString kEnglish = QStringLiteral("English");

// Two rows over pages that exist in `folder`.
QByteArray goodShow()
{
    return "[Show]\nVersion=1\n\n"
           "[Row1]\nFile Path=welcome.rtf\nEffect=0\nSpeed=3\nTimes=0\nRepeat=1\n"
           "EEffect=0\nESpeed=3\nETime=0\nERepeat=1\nTWidth=8\nTHeight=1\n\n"
           "[Row2]\nFile Path=logo.bmp\nEffect=9\nSpeed=7\nTimes=12\nRepeat=125\n"
           "EEffect=5\nESpeed=1\nETime=25\nERepeat=2\nTWidth=16\nTHeight=2\n";
}

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

class tst_ShowFile : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(writeFile(path("welcome.rtf"), "{\\rtf1 Welcome}"));
        QVERIFY(writeFile(path("logo.bmp"), "BM"));
        QVERIFY(writeFile(path("名单 page.rtf"), "{\\rtf1 x}"));
        QVERIFY(QDir(m_dir.path()).mkpath("folder.png"));
        QVERIFY(
            QFile::exists(path("pipe.png")) || ::mkfifo(qPrintable(path("pipe.png")), 0600) == 0);
    }

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

    void savedListReadsBackEqual()
    {
        // The list's names are relative to the program folder; a show elsewhere holds the same
        // pages relative to itself, and reads back as the list held them.
        QVERIFY(QDir(m_dir.path()).mkpath("shows/pages"));
        QVERIFY(writeFile(path("shows/pages/deep.rtf"), "{\\rtf1 deep}"));
        ProgramList list;
        list.AddFileToListView("welcome.rtf", "8", "1");
        list.AddFileToListView("名单 page.rtf", "34", "15");
        list.AddFileToListView("shows/pages/deep.rtf", "16", "2");
        const QList<std::pair<int, QString>> edits { { ListColumn::Effect, "10" },
            { ListColumn::Speed, "25" }, { ListColumn::Times, "25" }, { ListColumn::Repeat, "125" },
            { ListColumn::EEffect, "5" }, { ListColumn::ESpeed, "7" }, { ListColumn::ETime, "9" },
            { ListColumn::ERepeat, "3" } };
        list.CurrentRow = 2;
        for (const auto &[column, value] : edits)
            QCOMPARE(list.ChangeListView(2, column, value), ProgramList::Change::Written);

        const QString show = path("shows/away.vshow");
        QString message;
        QVERIFY2(
            ShowFile::write(show, list, m_dir.path(), kEnglish, &message), qPrintable(message));
        const QByteArray text = readFile(show);
        QVERIFY(text.startsWith("[Show]\nVersion=1\n\n[Row1]\nFile Path=../welcome.rtf\nEffect=0\n"
                                "Speed=3\nTimes=0\nRepeat=1\nEEffect=0\nESpeed=3\nETime=0\n"
                                "ERepeat=1\nTWidth=8\nTHeight=1\n\n[Row2]\n"));
        QVERIFY(text.contains(QStringLiteral("File Path=../名单 page.rtf\n").toUtf8()));
        QVERIFY(text.contains("File Path=pages/deep.rtf\n"));
        const ShowFile::ReadResult read = ShowFile::read(show, m_dir.path(), kEnglish);
        QVERIFY2(read.ok, qPrintable(read.message));
        QCOMPARE(read.rows, list.model()->rows());

        // Read with the show's own folder as the page folder (as vantrel-cli does).
        const ShowFile::ReadResult own = ShowFile::read(show, path("shows"), kEnglish);
        QVERIFY(own.ok);
        QCOMPARE(own.rows.at(2).at(ListColumn::FilePath - 1), QString("pages/deep.rtf"));
    }

    void laterAdditionsAreIgnored()
    {
        QByteArray text = goodShow();
        text.replace("[Show]\nVersion=1\n", "[show]\nversion=1\nAuthor=me\n");
        text.replace("TWidth=8\n", "TWidth=8\nTransition=fade\n");
        text.replace("[Row1]", "[Row0000000001]").replace("[Row2]", "[row02]"); // zeros are allowed
        text += "\n[Playlist Notes]\nNote=evening\n";
        QVERIFY(writeFile(path("later.vshow"), text));
        const ShowFile::ReadResult read
            = ShowFile::read(path("later.vshow"), m_dir.path(), kEnglish);
        QVERIFY2(read.ok, qPrintable(read.message));
        QCOMPARE(read.rows.size(), 2);
        QCOMPARE(read.rows.at(1),
            QStringList(
                { "2", "9", "7", "12", "125", "5", "1", "25", "2", "16", "2", "logo.bmp" }));
    }

    void badShowsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("named"); // what the message must name
        // The good show with `from` replaced by `to`.
        auto bad = [](const char *name, const QByteArray &from, const QByteArray &to,
                       const QStringList &named) {
            QTest::newRow(name) << QByteArray(goodShow()).replace(from, to) << named;
        };
        bad("speed above 25", "Speed=7", "Speed=26", { "Row 2", "\"Speed\"", "26" });
        bad("effect above 10", "Effect=9", "Effect=11", { "Row 2", "\"Effect\"" });
        bad("exit effect above 5", "EEffect=5", "EEffect=6", { "Row 2", "\"EEffect\"" });
        bad("repeat 0", "Repeat=125", "Repeat=0", { "Row 2", "\"Repeat\"" });
        bad("repeat 126", "ERepeat=2", "ERepeat=126", { "Row 2", "\"ERepeat\"" });
        bad("time 26", "ETime=25", "ETime=26", { "Row 2", "\"ETime\"" });
        bad("negative time", "Times=0", "Times=-1", { "Row 1", "\"Times\"" });
        bad("width not a number", "TWidth=8", "TWidth=8.5", { "Row 1", "\"TWidth\"" });
        bad("height 0", "THeight=1", "THeight=0", { "Row 1", "\"THeight\"" });
        bad("empty speed", "ESpeed=3", "ESpeed=", { "Row 1", "\"ESpeed\"" });
        bad("missing key", "ETime=0\n", "", { "Row 1", "\"ETime\"", "missing" });
        bad("missing page", "logo.bmp", "gone.bmp", { "Row 2", "\"File Path\"", "gone.bmp" });
        bad("empty page name", "File Path=logo.bmp", "File Path=", { "Row 2", "\"File Path\"" });
        bad("gap in rows", "[Row2]", "[Row3]", { "[Row2] is missing", "[Row3]" });
        bad("row zero", "[Row1]", "[Row0]", { "[Row0]", "not a row number" });
        bad("row one past the last", "[Row2]", "[Row0032768]",
            { "[Row0032768]", "not a row number" });
        bad("NUL in a value", "Speed=7", QByteArray("Speed=1\0002", 9),
            { "Row 2", "\"Speed\"", "NUL" });
        bad("NUL in a page name", "logo.bmp", QByteArray("lo\0go.bmp", 9),
            { "Row 2", "\"File Path\"", "NUL" });
        bad("value over 1023 bytes", "Effect=0", "Effect=0" + QByteArray(1100, ' ') + "x",
            { "Row 1", "\"Effect\"", "1023 bytes" });
        bad("not UTF-8", "logo.bmp", "logo\xff.bmp", { "Row 2", "line 18", "UTF-8" });
        bad("not UTF-8 before the rows", "Version=1", "Version=1\xc0",
            { "not a Vantrel show", "line 2", "UTF-8" });
        bad("page is a folder", "logo.bmp", "folder.png", { "Row 2", "folder.png", "is a folder" });
        bad("page is a pipe", "logo.bmp", "pipe.png", { "Row 2", "pipe.png", "device or pipe" });
        bad("page is a device", "logo.bmp", "/dev/null", { "Row 2", "not a page file" });
        bad("not a page type", "logo.bmp", "/proc/self/environ",
            { "Row 2", "environ is not a page file" });
        bad("row twice", "[Row2]", "[Row1]", { "[Row1]" });
        bad("no show section", "[Show]\nVersion=1\n", "", { "not a Vantrel show", "[Show]" });
        bad("version 0", "Version=1", "Version=0", { "not a Vantrel show", "Version" });
        QTest::newRow("larger than 16 MB") << QByteArray(16 * 1024 * 1024 + 1, '\0')
                                           << QStringList { "not a Vantrel show", "16 MB" };
        QTest::newRow("a page file") << QByteArray("{\\rtf1\\ansi Sale now on\\par}")
                                     << QStringList { "not a Vantrel show" };
        QTest::newRow("empty file") << QByteArray() << QStringList { "not a Vantrel show" };
    }

    void badShowsAreRefused()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, named);
        QVERIFY(writeFile(path("bad.vshow"), text));
        const ShowFile::ReadResult read = ShowFile::read(path("bad.vshow"), m_dir.path(), kEnglish);
        QVERIFY(!read.ok);
        QVERIFY(read.rows.isEmpty());
        for (const QString &part : named)
            QVERIFY2(read.message.contains(part), qPrintable(read.message + " lacks " + part));
        QVERIFY2(read.message.contains("Nothing was loaded"), qPrintable(read.message));
        // The operator's language.
        const ShowFile::ReadResult zh = ShowFile::read(path("bad.vshow"), m_dir.path(), "简体中文");
        QVERIFY(!zh.ok && zh.message.contains("未载入任何内容"));
        QVERIFY(!ShowFile::read(path("nowhere.vshow"), m_dir.path(), kEnglish).ok);
    }

    void badRowIsNotSaved()
    {
        QVERIFY(writeFile(path("kept.vshow"), goodShow()));
        ProgramList list;
        list.AddFileToListView("welcome.rtf", "8", "1");
        list.AddFileToListView("logo.bmp", "wide", "1"); // typed into CobTxtWidth
        QString message;
        QVERIFY(!ShowFile::write(path("kept.vshow"), list, m_dir.path(), kEnglish, &message));
        QVERIFY2(message.contains("Row 2") && message.contains("\"TWidth\""), qPrintable(message));
        QCOMPARE(readFile(path("kept.vshow")), goodShow());
        // A folder that cannot be written: nothing half-written, the reason given.
        list.removeRow(2);
        QVERIFY(!ShowFile::write(
            path("no/such/folder/x.vshow"), list, m_dir.path(), kEnglish, &message));
        QVERIFY(message.contains("could not be saved"));
    }

    void fullListRoundTrips()
    {
        QList<QStringList> rows;
        for (int i = 1; i <= ShowFile::kMaxRows; ++i)
            rows.append({ QString(), QString::number(i % 11), QString::number(1 + i % 25), "0", "1",
                QString::number(i % 6), "3", "0", "1", "8", "1",
                i % 2 ? "welcome.rtf" : "logo.bmp" });
        ProgramList list;
        QVERIFY(list.replaceRows(rows));
        QString message;
        QVERIFY(ShowFile::write(path("full.vshow"), list, m_dir.path(), kEnglish, &message));
        const ShowFile::ReadResult read
            = ShowFile::read(path("full.vshow"), m_dir.path(), kEnglish);
        QVERIFY2(read.ok, qPrintable(read.message));
        QCOMPARE(read.rows, list.model()->rows());
        rows.append(rows.first());
        QVERIFY(!list.replaceRows(rows));
        QCOMPARE(list.rowCount(), ShowFile::kMaxRows);
    }

    void folderListsPagesOfAnyLetterCase()
    {
        QTemporaryDir dir;
        for (const char *name : { "b.rtf", "LOGO.BMP", "a.jpg", "Page10.rtf", "Page9.rtf",
                 "anim.GIF", "notes.txt", "page.rtf.bak", "README", ".hidden.rtf" })
            QVERIFY(writeFile(dir.filePath(name), {}));
        QVERIFY(QDir(dir.path()).mkdir("folder.rtf"));
        QCOMPARE(listPageFiles(dir.path()),
            QStringList({ "a.jpg", "anim.GIF", "b.rtf", "LOGO.BMP", "Page10.rtf", "Page9.rtf" }));
        QVERIFY(listPageFiles(dir.filePath("missing")).isEmpty());
    }

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(tst_ShowFile)
#include "tst_showfile.moc"
