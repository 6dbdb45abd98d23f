// render, convert and packet over every kind of page file.

#include "packetdecoder.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

namespace {
int cli(const QStringList &args, QByteArray *err = nullptr)
{
    QProcess process;
    process.start(QStringLiteral(VANTREL_CLI), args);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    if (err)
        *err = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QByteArray kRtfPage = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}"
                            "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green255\\blue0;"
                            "\\red255\\green255\\blue0;}"
                            "\\f0\\fs24\\cf1 Sale \\cf2 now \\cf3 on\\par"
                            "\\cf1\\u27426?\\u36814?\\par}";
} // namespace

class tst_CliPages : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString page(const QString &kind)
    {
        const QString path = m_dir.filePath("page." + kind);
        if (kind == "rtf") {
            writeFile(path, kRtfPage);
        } else if (kind == "txt") {
            writeFile(path, QStringLiteral("Plain 文本 page").toUtf8());
        } else {
            QImage picture(40, 20, QImage::Format_RGB32);
            picture.fill(Qt::black);
            for (int x = 0; x < 20; ++x)
                picture.setPixel(x, 3, qRgb(0, 255, 0));
            picture.save(path);
        }
        return path;
    }

private slots:
    void renderEveryPageKind_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *kind : { "rtf", "txt", "bmp", "png", "jpg" })
            QTest::addRow("%s", kind) << QString(kind);
    }

    void renderEveryPageKind()
    {
        QFETCH(QString, kind);
        const QString out = m_dir.filePath("render-" + kind + ".png");
        QCOMPARE(cli({ "render", page(kind), "--size", "4x2", "--out", out }), 0);
        const QImage image(out);
        QCOMPARE(image.size(), QSize(64, 32));
        QSet<QRgb> colours;
        int lit = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y) | 0xFF000000;
                colours.insert(c);
                if (c != qRgb(0, 0, 0)) {
                    ++lit;
                    QVERIFY2(x < 48, "the last module column is always dark");
                }
            }
        }
        // A JPEG rarely keeps a colour exact, so it may well show nothing lit.
        if (kind != "jpg")
            QVERIFY(lit > 0);
        for (QRgb c : colours)
            QVERIFY((QSet<QRgb> { qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0),
                                  qRgb(255, 255, 0) }).contains(c));
        if (kind == "bmp" || kind == "png") // lossless pictures land pixel for pixel
            QCOMPARE(image.pixel(5, 3), qRgb(0, 255, 0));
    }

    void rtfPageRendersItsColours()
    {
        const QString out = m_dir.filePath("colours.png");
        QCOMPARE(cli({ "render", page("rtf"), "--size", "8x2", "--out", out }), 0);
        const QImage image(out);
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y) | 0xFF000000);
        QCOMPARE(colours, (QSet<QRgb> { qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0),
                                        qRgb(255, 255, 0) }));
    }

    void packetOfAnRtfPageMatchesItsRender()
    {
        const QString packet = m_dir.filePath("rtf.bin");
        const QString render = m_dir.filePath("rtf.png");
        QCOMPARE(cli({ "packet", page("rtf"), "--size", "8x2", "--out", packet }), 0);
        QCOMPARE(cli({ "render", page("rtf"), "--size", "8x2", "--out", render }), 0);
        DecodedPicture decoded;
        QVERIFY(decodePicture(readFile(packet), &decoded));
        QCOMPARE(decoded.image.convertToFormat(QImage::Format_RGB32),
                 QImage(render).convertToFormat(QImage::Format_RGB32));
    }

    void convertBetweenFormats()
    {
        const QString html = m_dir.filePath("page.html");
        const QString rtf = m_dir.filePath("again.rtf");
        const QString txt = m_dir.filePath("again.txt");
        QCOMPARE(cli({ "convert", page("rtf"), html }), 0);
        QVERIFY(readFile(html).contains("Sale"));
        QVERIFY(readFile(html).contains("#00ff00"));
        QCOMPARE(cli({ "convert", html, rtf }), 0);
        QVERIFY(readFile(rtf).startsWith("{\\rtf1"));
        QCOMPARE(cli({ "convert", rtf, txt }), 0);
        QCOMPARE(QString::fromUtf8(readFile(txt)), QStringLiteral("Sale now on\n欢迎"));
    }

    void refusals()
    {
        QByteArray err;
        QCOMPARE(cli({ "render", m_dir.filePath("missing.rtf"), "--size", "8x1", "--out",
                       m_dir.filePath("x.png") },
                     &err),
                 2);
        QCOMPARE(err.count('\n'), 1);
        QCOMPARE(cli({ "render", page("rtf"), "--size", "8x16", "--out", m_dir.filePath("x.png") }),
                 2);
        QVERIFY(!QFile::exists(m_dir.filePath("x.png")));
        QCOMPARE(cli({ "convert", page("rtf"), m_dir.filePath("x.doc") }), 64);
        QCOMPARE(cli({ "render", page("rtf"), "--out", m_dir.filePath("x.png") }), 64);
    }
};

QTEST_GUILESS_MAIN(tst_CliPages)
#include "tst_cli_pages.moc"
