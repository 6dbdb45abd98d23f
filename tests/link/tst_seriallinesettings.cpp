#include "seriallinesettings.h"

#include <QTest>

namespace {
const QString kEnglish = QStringLiteral("English");
}

class tst_SerialLineSettings : public QObject
{
    Q_OBJECT

private slots:
    void parsesSettings_data();
    void parsesSettings();
    void refusesSettings_data();
    void refusesSettings();
    void fourDataBitsAreRefusedWhenOpening();
    void mapsPortNames_data();
    void mapsPortNames();
};

void tst_SerialLineSettings::parsesSettings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<QString>("written");

    QTest::newRow("dialog default") << "9600,N,8,1" << 9600 << int(QSerialPort::NoParity) << 8
                                    << int(QSerialPort::OneStop) << "9600,N,8,1";
    QTest::newRow("even, lower case") << "19200,e,7,2" << 19200 << int(QSerialPort::EvenParity) << 7
                                      << int(QSerialPort::TwoStop) << "19200,E,7,2";
    QTest::newRow("odd") << "4800,O,8,1" << 4800 << int(QSerialPort::OddParity) << 8
                         << int(QSerialPort::OneStop) << "4800,O,8,1";
    QTest::newRow("mark, one and a half")
        << "1200,m,5,1.5" << 1200 << int(QSerialPort::MarkParity) << 5
        << int(QSerialPort::OneAndHalfStop) << "1200,M,5,1.5";
    QTest::newRow("space, four data bits") << "300,S,4,2" << 300 << int(QSerialPort::SpaceParity)
                                           << 4 << int(QSerialPort::TwoStop) << "300,S,4,2";
}

void tst_SerialLineSettings::parsesSettings()
{
    QFETCH(QString, text);
    QFETCH(int, baud);
    QFETCH(int, parity);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    QFETCH(QString, written);
    SerialLineSettings s;
    QString error;
    QVERIFY2(SerialLineSettings::parse(text, &s, &error, kEnglish), qPrintable(error));
    QCOMPARE(s.baudRate, baud);
    QCOMPARE(int(s.parity), parity);
    QCOMPARE(s.dataBits, dataBits);
    QCOMPARE(int(s.stopBits), stopBits);
    QCOMPARE(s.toString(), written);
}

void tst_SerialLineSettings::refusesSettings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("empty") << "" << kEnglish << "9600,N,8,1";
    QTest::newRow("three fields") << "9600,N,8" << kEnglish << "9600,N,8";
    QTest::newRow("speed not a number") << "fast,N,8,1" << kEnglish << "fast";
    QTest::newRow("speed zero") << "0,N,8,1" << kEnglish << "\"0\"";
    QTest::newRow("speed beyond 32 bits") << "99999999999,N,8,1" << kEnglish << "99999999999";
    QTest::newRow("parity word") << "9600,None,8,1" << kEnglish << "None";
    QTest::newRow("data bits 9") << "9600,N,9,1" << kEnglish << "\"9\"";
    QTest::newRow("stop bits 1.0") << "9600,N,8,1.0" << kEnglish << "1.0";
    QTest::newRow("parity in Chinese")
        << "9600,X,8,1" << QStringLiteral("简体中文") << QStringLiteral("校验位“X”");
}

void tst_SerialLineSettings::refusesSettings()
{
    QFETCH(QString, text);
    QFETCH(QString, language);
    QFETCH(QString, mentions);
    SerialLineSettings s;
    s.baudRate = 1234;
    QString error;
    QVERIFY(!SerialLineSettings::parse(text, &s, &error, language));
    QVERIFY2(error.contains(mentions), qPrintable(error));
    QCOMPARE(s.baudRate, 1234); // left as it was
}

void tst_SerialLineSettings::fourDataBitsAreRefusedWhenOpening()
{
    SerialLineSettings s;
    s.dataBits = 4;
    QSerialPort::DataBits bits = QSerialPort::Data8;
    QString error;
    QVERIFY(!s.portDataBits(&bits, &error, kEnglish));
    QVERIFY2(error.contains(QLatin1String("4 data bits")), qPrintable(error));
    s.dataBits = 5;
    QVERIFY(s.portDataBits(&bits, &error, kEnglish));
    QCOMPARE(bits, QSerialPort::Data5);
}

void tst_SerialLineSettings::mapsPortNames_data()
{
    QTest::addColumn<QString>("commPort");
    QTest::addColumn<QString>("portName"); // "" when refused
    QTest::newRow("Windows number 1") << "1"
                                      << "ttyS0";
    QTest::newRow("Windows number 3") << "3"
                                      << "ttyS2";
    QTest::newRow("com4") << "com4"
                          << "ttyS3";
    QTest::newRow("USB adapter") << "ttyUSB0"
                                 << "ttyUSB0";
    QTest::newRow("Bluetooth serial") << "rfcomm0"
                                      << "rfcomm0";
    QTest::newRow("device path") << " /dev/pts/3 "
                                 << "/dev/pts/3";
    QTest::newRow("COM0") << "0"
                          << "";
    QTest::newRow("empty") << "  "
                           << "";
}

void tst_SerialLineSettings::mapsPortNames()
{
    QFETCH(QString, commPort);
    QFETCH(QString, portName);
    QString name;
    QString error;
    QCOMPARE(serialPortNameFor(commPort, &name, &error, kEnglish), !portName.isEmpty());
    QCOMPARE(name, portName);
    QCOMPARE(error.isEmpty(), !portName.isEmpty());
}

QTEST_GUILESS_MAIN(tst_SerialLineSettings)
#include "tst_seriallinesettings.moc"
