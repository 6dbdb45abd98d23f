#include "pagedocument.h"
#include "pagefiles.h"
#include "testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {
using Kind = Page::FileResult::Kind;
enum Loader { Rich, Listed, Any };

} // namespace

class tst_PageFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void nameRules()
    {
        // Only the ending ".rtf", in any letter case, names a page of text.
        for (const char *richText : { "a.rtf", "A.RTF", "x.Rtf", "/p/rtf.bmp/a.rtf" })
            QVERIFY2(Page::namesRichText(richText), richText);
        for (const char *picture : { "shirtfront.bmp", "logo.BMP", "/p/rtf-pages/logo.bmp",
                 "/RTF/a.gif", "a.rtf.png", "rtf" })
            QVERIFY2(!Page::namesRichText(picture), picture);
        QCOMPARE(Page::withRtfSuffix("/p/a.rtf"), QString("/p/a.rtf"));
        QCOMPARE(Page::withRtfSuffix("/p/a.RTF"), QString("/p/a.RTF.rtf"));
        QCOMPARE(Page::withRtfSuffix("/p/a.txt"), QString("/p/a.txt.rtf"));
        QCOMPARE(Page::withTxtSuffix("a"), QString("a.txt"));
        QCOMPARE(Page::withTxtSuffix("a.TXT"), QString("a.TXT.txt"));
        QCOMPARE(Page::withTxtSuffix("a.txt"), QString("a.txt"));
    }

    void loads_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // null: no such file
        QTest::addColumn<int>("loader");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::green);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        const QString shown(QChar::ObjectReplacementCharacter);
        const QByteArray rtf = "{\\rtf1 text}";
        auto row = [](const char *name, const QByteArray &bytes, Loader loader, Kind kind,
                       const QString &text) {
            QTest::newRow(name) << name << bytes << int(loader) << int(kind) << text;
        };
        row("note.txt", QStringLiteral("Line one\nLine 二").toUtf8(), Rich, Kind::Ok,
            "Line one\nLine 二");
        row("gbk.txt", QStringEncoder("GBK").encode(QStringLiteral("欢迎光临")), Any, Kind::Ok,
            "欢迎光临");
        row("picture-without-suffix", png, Any, Kind::Ok, shown);
        row("listed.rtf", rtf, Listed, Kind::Ok, "text");
        row("listed.png", png, Listed, Kind::Ok, shown);
        // Failed loads leave the page as it was.
        row("none.rtf", QByteArray(), Rich, Kind::CannotRead, "keep me");
        row("x.Rtf", rtf, Listed, Kind::Ok, "text"); // any letter case names rich text
        row("shirtfront.bmp", rtf, Listed, Kind::NotAPicture, "keep me"); // "rtf" inside
        row("photo.jpg", "<svg xmlns='http://www.w3.org/2000/svg'/>", Any, Kind::NotAPicture,
            "keep me");
        row("pipe.rtf", "fifo", Any, Kind::CannotRead, "keep me");
        row("folder.png", "folder", Any, Kind::CannotRead, "keep me");
    }

    void loads()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, loader);
        QFETCH(int, kind);
        QFETCH(QString, text);
        const QString path = m_dir.filePath(name);
        if (bytes == "fifo")
            QVERIFY(QFile::exists(path) || ::mkfifo(qPrintable(path), 0600) == 0);
        else if (bytes == "folder")
            QVERIFY(QDir(m_dir.path()).mkpath(name));
        else if (!bytes.isNull())
            writeFile(path, bytes);
        QTextDocument page;
        page.setPlainText("keep me");
        const Page::FileResult result = loader == Rich ? Page::loadRichTextFile(path, &page)
            : loader == Listed                         ? Page::loadListedPageFile(path, &page)
                                                       : Page::loadAnyPageFile(path, &page);
        QCOMPARE(int(result.kind), kind);
        QCOMPARE(page.toPlainText(), text);
        if (!result.ok()) {
            QVERIFY(result.message("English").contains(name));
            QVERIFY(!result.message(QStringLiteral("简体中文")).isEmpty());
        }
    }

    void failedSaveKeepsThePreviousFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("pageSize");
        QTest::addColumn<bool>("diskFull");
        QTest::addRow("folder cannot be made") << "blocker/page.rtf" << 4096 << false;
        // The disk fills up halfway through: in the flush of a page that fits the write
        // buffer, or in the write of a larger one.
        QTest::addRow("disk full, small page") << "page.rtf" << 4096 << true;
        QTest::addRow("disk full, large page") << "page.rtf" << 65536 << true;
    }

    void failedSaveKeepsThePreviousFile()
    {
        QFETCH(QString, name);
        QFETCH(int, pageSize);
        QFETCH(bool, diskFull);
        QTemporaryDir dir;
        writeFile(dir.filePath("blocker"), "not a folder");
        writeFile(dir.filePath("page.rtf"), "{\\rtf1 old}");
        QTextDocument page;
        page.setPlainText(QString(pageSize, QLatin1Char('x')));
        rlimit limit {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit previous = limit;
        limit.rlim_cur = diskFull ? 64 : limit.rlim_cur;
        const auto handler = signal(SIGXFSZ, SIG_IGN); // fail the write, not the process
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const Page::FileResult result = Page::savePageFile(dir.filePath(name), page);
        setrlimit(RLIMIT_FSIZE, &previous);
        signal(SIGXFSZ, handler);
        QCOMPARE(result.kind, Kind::CannotWrite);
        QVERIFY(result.message("English").contains(name));
        QVERIFY(!result.message("English").contains("Unknown error"));
        // The old files as they were, and no temporary file left behind.
        QCOMPARE(readFile(dir.filePath("page.rtf")), QByteArray("{\\rtf1 old}"));
        QCOMPARE(readFile(dir.filePath("blocker")), QByteArray("not a folder"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList { "blocker", "page.rtf" }));
    }
};

QTEST_MAIN(tst_PageFiles)
#include "tst_pagefiles.moc"
