#include "packetdecoder.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
struct Run
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run cli(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(VANTREL_CLI), args);
    Run run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(5000);
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class tst_CliPackets : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void pictureFileBecomesAPacket_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addRow("png") << "png";
        QTest::addRow("bmp") << "bmp";
    }

    void pictureFileBecomesAPacket()
    {
        QFETCH(QString, format);
        QImage picture(48, 16, QImage::Format_RGB32);
        picture.fill(Qt::black);
        picture.setPixel(0, 0, qRgb(255, 0, 0));
        picture.setPixel(5, 3, qRgb(0, 255, 0));
        picture.setPixel(17, 15, qRgb(255, 255, 0));
        const QString page = m_dir.filePath("logo." + format);
        QVERIFY(picture.save(page));
        const QString out = m_dir.filePath("packet-" + format + ".bin");
        const Run run = cli({ "packet", page, "--size", "3x1", "--screen", "8x2", "--slot", "2",
                              "--out", out });
        QCOMPARE(run.status, 0);
        DecodedPicture decoded;
        QVERIFY(decodePicture(readAll(out), &decoded));
        QCOMPARE(decoded.slot, 4);
        QCOMPARE(decoded.screenRowBytes, 16);
        QCOMPARE(decoded.screenRows, 32);
        QCOMPARE(decoded.image.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(decoded.image.pixel(5, 3), qRgb(0, 255, 0));
        QCOMPARE(decoded.image.pixel(17, 15), qRgb(255, 255, 0));
        QCOMPARE(decoded.image.pixel(1, 0), qRgb(0, 0, 0));
    }

    void gifPage()
    {
        // A 1 x 1 GIF whose only pixel is red (Qt reads GIF but cannot write it).
        const QByteArray gif = QByteArray::fromHex("47494638396101000100800000ff00000000002c00000000"
                                                   "010001000002024401003b");
        const QString page = m_dir.filePath("dot.gif");
        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(gif);
        file.close();
        const QString out = m_dir.filePath("gif.bin");
        QCOMPARE(cli({ "packet", page, "--size", "2x1", "--out", out }).status, 0);
        DecodedPicture decoded;
        QVERIFY(decodePicture(readAll(out), &decoded));
        QCOMPARE(decoded.image.pixel(0, 0), qRgb(255, 0, 0));
    }

    void controlAndClear()
    {
        const QString control = m_dir.filePath("control.bin");
        Run run = cli({ "control", "--row", "0,3,0,1,0,3,0,1", "--row", "9,7,2,5,5,1,0,1", "--out",
                        control });
        QCOMPARE(run.status, 0);
        QList<DecodedEffectRecord> records;
        QVERIFY(decodeControl(readAll(control), &records));
        QCOMPARE(records.size(), 2);
        QCOMPARE(records.at(1).slot, 4);
        QCOMPARE(records.at(1).entryEffect, 11);
        QCOMPARE(records.at(1).exitEffect, 4);

        const QString clear = m_dir.filePath("clear.bin");
        QCOMPARE(cli({ "clear", "--out", clear }).status, 0);
        QCOMPARE(readAll(clear).toHex(), QByteArray("0235" + QByteArray(26, '0') + "ccee0000"));
    }

    void refusedValuesExit2WithOneLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("named");
        QTest::addRow("height 16") << QStringList { "packet", "PAGE", "--size", "8x16" }
                                   << "TextHeight";
        QTest::addRow("slot 254") << QStringList { "packet", "PAGE", "--size", "8x1", "--slot", "254" }
                                  << "FileListID";
        QTest::addRow("speed 8") << QStringList { "control", "--row", "0,8,0,1,0,3,0,1" } << "Speed";
        QTest::addRow("missing page") << QStringList { "packet", "/nonexistent/x.bmp", "--size", "8x1" }
                                      << "/nonexistent/x.bmp";
    }

    void refusedValuesExit2WithOneLine()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, named);
        QImage picture(16, 16, QImage::Format_RGB32);
        picture.fill(Qt::red);
        const QString page = m_dir.filePath("page.bmp");
        QVERIFY(picture.save(page));
        args.replaceInStrings("PAGE", page);
        const QString out = m_dir.filePath("refused.bin");
        const Run run = cli(args + QStringList { "--out", out });
        QCOMPARE(run.status, 2);
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY2(run.err.contains(named.toUtf8()), run.err.constData());
        QVERIFY(!QFile::exists(out));
    }

    void usageErrorsExit64()
    {
        QCOMPARE(cli({}).status, 64);
        QCOMPARE(cli({ "frobnicate" }).status, 64);
        QCOMPARE(cli({ "packet", "x.bmp", "--size", "eight", "--out", "o" }).status, 64);
        QCOMPARE(cli({ "control", "--row", "1,2,3", "--out", "o" }).status, 64);
        QCOMPARE(cli({ "clear" }).status, 64);
        const Run help = cli({ "--help" });
        QCOMPARE(help.status, 0);
        for (const char *command : { "packet", "control", "clear" })
            QVERIFY(help.out.contains(QByteArray("vantrel-cli ") + command));
    }
};

QTEST_GUILESS_MAIN(tst_CliPackets)
#include "tst_cli_packets.moc"
