#include "pagedocument.h"
#include "pagefiles.h"
#include "pageformat.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class tst_PageFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void nameRules()
    {
        QVERIFY(Page::namesRichText("a.rtf"));
        QVERIFY(Page::namesRichText("SALE.RTF"));
        QVERIFY(Page::namesRichText("rtf-pages/logo.bmp")); // the rule looks at the whole path
        QVERIFY(!Page::namesRichText("x.Rtf"));
        QVERIFY(!Page::namesRichText("logo.BMP"));

        QCOMPARE(Page::withRtfSuffix("/p/a.rtf"), QString("/p/a.rtf"));
        QCOMPARE(Page::withRtfSuffix("/p/a.RTF"), QString("/p/a.RTF.rtf"));
        QCOMPARE(Page::withRtfSuffix("/p/a.txt"), QString("/p/a.txt.rtf"));
        QCOMPARE(Page::withTxtSuffix("a"), QString("a.txt"));
        QCOMPARE(Page::withTxtSuffix("a.TXT"), QString("a.TXT.txt"));
        QCOMPARE(Page::withTxtSuffix("a.txt"), QString("a.txt"));
    }

    void savedPageReadsBack()
    {
        QTextDocument page;
        Page::setUpDocument(&page);
        QTextCursor cursor(&page);
        QTextCharFormat green;
        green.setForeground(Page::ledGreen());
        green.setFontWeight(QFont::Bold);
        cursor.insertText(QStringLiteral("Open 9-5 营业"), green);
        Page::setExactLineSpacing(&page);
        Page::setBackground(&page, QColor(0, 0, 64));
        const QString path = m_dir.filePath("page.rtf");
        QVERIFY(Page::savePageFile(path, page).ok());
        QVERIFY(readFile(path).startsWith("{\\rtf1"));

        QTextDocument again;
        Page::setUpDocument(&again);
        QVERIFY(Page::loadRichTextFile(path, &again).ok());
        QCOMPARE(again.toPlainText(), QStringLiteral("Open 9-5 营业"));
        const QTextCharFormat read = QTextCursor(again.begin()).block().begin().fragment().charFormat();
        QCOMPARE(read.foreground().color(), Page::ledGreen());
        QCOMPARE(read.fontWeight(), int(QFont::Bold));
        QCOMPARE(again.begin().blockFormat().lineHeightType(), int(QTextBlockFormat::FixedHeight));
        QCOMPARE(again.begin().blockFormat().lineHeight(), 18.0);
        QCOMPARE(Page::background(again), QColor(0, 0, 64));
        // Loading keeps the page conventions: content starts two rows down.
        QCOMPARE(again.rootFrame()->frameFormat().topMargin(), qreal(Page::kTopMargin));
    }

    void plainTextOpensAsItsText()
    {
        const QString utf8 = m_dir.filePath("note.txt");
        writeFile(utf8, QStringLiteral("Line one\nLine 二").toUtf8());
        QTextDocument page;
        Page::setUpDocument(&page);
        QVERIFY(Page::loadRichTextFile(utf8, &page).ok());
        QCOMPARE(page.toPlainText(), QStringLiteral("Line one\nLine 二"));

        const QString gbk = m_dir.filePath("gbk.txt");
        writeFile(gbk, QStringEncoder("GBK").encode(QStringLiteral("欢迎光临")));
        QVERIFY(Page::loadAnyPageFile(gbk, &page).ok());
        QCOMPARE(page.toPlainText(), QStringLiteral("欢迎光临"));
    }

    void failedLoadsLeaveThePage()
    {
        QTextDocument page;
        Page::setUpDocument(&page);
        page.setPlainText("keep me");
        const Page::FileResult missing = Page::loadRichTextFile(m_dir.filePath("none.rtf"), &page);
        QCOMPARE(missing.kind, Page::FileResult::Kind::CannotRead);
        QVERIFY(missing.message("English").contains("none.rtf"));
        const QString notPicture = m_dir.filePath("x.Rtf");
        writeFile(notPicture, "{\\rtf1 text}");
        // "x.Rtf" does not name rich text, so the list's load tries it as a picture.
        const Page::FileResult result = Page::loadListedPageFile(notPicture, &page);
        QCOMPARE(result.kind, Page::FileResult::Kind::NotAPicture);
        QVERIFY(!result.message(QStringLiteral("简体中文")).isEmpty());
        QCOMPARE(page.toPlainText(), QString("keep me"));
    }

    void failedSaveKeepsThePreviousFile()
    {
        writeFile(m_dir.filePath("blocker"), "not a folder");
        QTextDocument page;
        page.setPlainText("new");
        const Page::FileResult result = Page::savePageFile(m_dir.filePath("blocker/p.rtf"), page);
        QCOMPARE(result.kind, Page::FileResult::Kind::CannotWrite);
        QCOMPARE(readFile(m_dir.filePath("blocker")), QByteArray("not a folder"));
    }

    void anyPageFileByContent()
    {
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::green);
        const QString named = m_dir.filePath("picture-without-suffix");
        QVERIFY(picture.save(named, "PNG"));
        QTextDocument page;
        Page::setUpDocument(&page);
        QVERIFY(Page::loadAnyPageFile(named, &page).ok());
        QCOMPARE(page.toPlainText(), QString(QChar::ObjectReplacementCharacter));
    }
};

QTEST_MAIN(tst_PageFiles)
#include "tst_pagefiles.moc"
