#include "fieldresolver.h"
#include "pagedocument.h"
#include "pagefields.h"
#include "pagerenderer.h"
#include "testfiles.h"
#include "valuestore.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <sys/stat.h>

namespace {

// 2026-03-04 09:05:07.250, a Wednesday.
QDateTime fixedMoment()
{
    return QDateTime(QDate(2026, 3, 4), QTime(9, 5, 7, 250));
}

// A page of runs, each (text, colour).
void typeRuns(QTextDocument *document, const QList<std::pair<QString, QColor>> &runs)
{
    Page::setUpDocument(document);
    QTextCursor cursor(document);
    for (const auto &[text, colour] : runs) {
        QTextCharFormat format;
        format.setForeground(colour);
        cursor.insertText(text, format);
    }
}

} // namespace

class tst_Fields : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        // The program folder sits inside the temporary one, so a file can lie just outside it.
        const QString dir = m_folder.filePath(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(dir));
        m_context.moment = fixedMoment();
        m_context.programFolder = dir;
        QString error;
        QVERIFY(ValueStore(dir).set(QStringLiteral("spaces"), QStringLiteral("42"), &error));
        QVERIFY(ValueStore(dir).set(QStringLiteral("msg"), QStringLiteral("门铃\nrings"), &error));
        QVERIFY(QDir(dir).mkpath(QStringLiteral("data")));
        QVERIFY(writeFile(dir + "/data/price.txt", "3.50 EUR\r\nsecond line\n"));
        QVERIFY(writeFile(dir + "/empty.txt", ""));
        QVERIFY(writeFile(dir + "/nul.txt", QByteArray("12\0 34", 6)));
        QVERIFY(writeFile(dir + "/latin1.txt", "caf\xe9"));
        // Ten megabytes that cost nothing to make and must cost nothing to show.
        QFile huge(dir + "/huge.txt");
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(10 * 1024 * 1024));
        huge.close();
        QVERIFY(writeFile(m_folder.filePath("outside.txt"), "secret"));
        QVERIFY(QFile::link(m_folder.filePath("outside.txt"), dir + "/link.txt"));
        QCOMPARE(mkfifo(QFile::encodeName(dir + "/pipe.txt").constData(), 0600), 0);
    }

    void shownText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("problem"); // a part of the first problem; "" for none
        const auto row
            = [](const char *name, const QString &typed, const QString &shown,
                  const QString &problem) { QTest::newRow(name) << typed << shown << problem; };
        row("plain", "FREE 42", "FREE 42", "");
        row("time", "{time}", "09:05", "");
        row("time format", "{time:HH:mm:ss}", "09:05:07", "");
        row("date format", "{date:dd.MM.yyyy}", "04.03.2026", "");
        row("date default", "{date}", "2026-03-04", "");
        row("quoted text", "{date:'day' d}", "day 4", "");
        row("kind in capitals", "{TIME:h:mm AP}", "9:05 AM", "");
        row("value", "FREE {value:spaces}!", "FREE 42!", "");
        row("value one line", "{value:msg}", "门铃 rings", "");
        row("value never set", "{value:nothing}", "?", "no value nothing");
        row("bad value name", "{value:a b}", "{value:a b}", "value name");
        row("file first line", "{file:data/price.txt}", "3.50 EUR", "");
        row("empty file", "[{file:empty.txt}]", "[]", "");
        row("missing file", "{file:none.txt}", "?", "does not exist");
        row("binary file", "{file:nul.txt}", "?", "not UTF-8");
        row("not UTF-8", "{file:latin1.txt}", "?", "not UTF-8");
        row("10 MB file", "{file:huge.txt}", "?", "10485760 bytes");
        row("a pipe", "{file:pipe.txt}", "?", "not a plain file");
        row("up and out", "{file:../outside.txt}", "?", "inside the program");
        row("absolute", "{file:/etc/hostname}", "?", "inside the program");
        row("link out", "{file:link.txt}", "?", "outside the program");
        row("file without name", "{file:}", "{file:}", "needs a file name");
        row("escapes", "{{time}} }} {{", "{time} } {", "");
        row("escape then field", "{{{time}}}", "{09:05}", "");
        row("unknown kind", "a {price} b", "a {price} b", "unknown field");
        row("empty braces", "{}", "{}", "unknown field");
        row("not a format", "{time:hello}", "{time:hello}", "not a date/time");
        row("open quote", "{date:d 'x}", "{date:d 'x}", "not a date/time");
        row("unclosed", "{time and {time}", "{time and 09:05", "without its }");
        row("lone closing", "a } b", "a } b", "lone }");
        row("closed on the next line", "{time\n}", "{time\n}", "without its }");
    }

    void shownText()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, problem);
        QList<Fields::FieldProblem> problems;
        QCOMPARE(Fields::FieldResolver(m_context).shownText(typed, &problems), shown);
        QCOMPARE(problems.isEmpty(), problem.isEmpty());
        if (!problem.isEmpty()) {
            QVERIFY2(
                problems.first().reason.contains(problem), qPrintable(problems.first().reason));
            QVERIFY(typed.contains(problems.first().typed));
        }
    }

    void nextTimeChange_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDateTime>("next");
        const QDate day = fixedMoment().date();
        QTest::newRow("minutes") << "FREE {value:spaces} {time}" << QDateTime(day, QTime(9, 6));
        QTest::newRow("seconds win") << "{time} {time:ss}" << QDateTime(day, QTime(9, 5, 8));
        QTest::newRow("hours") << "{time:h AP}" << QDateTime(day, QTime(10, 0));
        QTest::newRow("days") << "{date:d MMM}" << QDateTime(day.addDays(1), QTime(0, 0));
        QTest::newRow("no clock") << "{value:spaces} {{time}}" << QDateTime();
    }

    void nextTimeChange()
    {
        QFETCH(QString, typed);
        QFETCH(QDateTime, next);
        QCOMPARE(Fields::nextTimeChange(typed, fixedMoment()), next);
    }

    void filledPageEqualsTypedPage()
    {
        // The field's first character is green, the rest red: the value lights green.
        QTextDocument withFields;
        typeRuns(&withFields,
            { { "FREE ", Page::ledGreen() }, { "{", Page::ledGreen() },
                { "value:spaces}", Page::ledRed() }, { " {time} {{x}}", Page::ledYellow() } });
        QTextDocument typed;
        typeRuns(&typed, { { "FREE 42", Page::ledGreen() }, { " 09:05 {x}", Page::ledYellow() } });
        const QSize canvas(8 * 16 + 2, 16 + 2);
        QList<Fields::FieldProblem> problems;
        const QImage filled = Page::renderFilledCanvas(&withFields, canvas, m_context, &problems);
        QVERIFY(problems.isEmpty());
        const Page::SignImage sent = Page::signImage(filled, 8, 1);
        QVERIFY(sent.packet.ok);
        QCOMPARE(sent.packet.bytes,
            Page::signImage(Page::renderCanvas(&typed, canvas), 8, 1).packet.bytes);
        // Something was drawn, and the page itself still holds its fields.
        QImage dark(sent.image.size(), sent.image.format());
        dark.fill(Qt::black);
        QVERIFY(sent.image != dark);
        QCOMPARE(withFields.toPlainText(), QStringLiteral("FREE {value:spaces} {time} {{x}}"));
        QCOMPARE(Page::usedFields(withFields), QStringList({ "{value:spaces}", "{time}" }));
        QCOMPARE(Page::shownText(withFields, m_context), QStringLiteral("FREE 42 09:05 {x}"));
        // A page without braces is drawn as it is, with no copy.
        QTextDocument plain;
        typeRuns(&plain, { { "FREE 42", Page::ledGreen() } });
        QVERIFY(!Page::filledCopy(plain, m_context));
    }

    void valuesRoundTrip()
    {
        const ValueStore store(m_context.programFolder);
        QString value, error;
        const QString longest(ValueStore::kMaxValueLength, QChar(0x4E2D));
        QVERIFY(store.set(QStringLiteral("long_1"), longest, &error));
        QVERIFY(store.get(QStringLiteral("long_1"), &value, &error));
        QCOMPARE(value, longest);
        QVERIFY(!store.set(QStringLiteral("long_1"), longest + QLatin1Char('x'), &error));
        QVERIFY2(error.contains(QStringLiteral("1001 characters")), qPrintable(error));
        QVERIFY(store.get(QStringLiteral("long_1"), &value, &error));
        QCOMPARE(value, longest);
        QVERIFY(!store.set(
            QStringLiteral("../x"), QStringLiteral("1"), &error, QStringLiteral("简体中文")));
        QVERIFY2(error.contains(QStringLiteral("不是有效的值名称")), qPrintable(error));
        QCOMPARE(store.names(), QStringList({ "long_1", "msg", "spaces" }));
    }

private:
    QTemporaryDir m_folder;
    Fields::FieldContext m_context;
};

QTEST_MAIN(tst_Fields)
#include "tst_fields.moc"
