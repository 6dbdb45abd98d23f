#include "seriallinesettings.h"

#include <QTest>

class tst_SerialLineSettings : public QObject
{
    Q_OBJECT

private slots:
    void parsesSettings_data();
    void parsesSettings();
    void refusesSettings_data();
    void refusesSettings();
    void fourDataBitsAreRefusedWhenOpening();
    void refusalsSpeakTheUsersLanguage();
    void mapsPortNames_data();
    void mapsPortNames();
    void refusesPortNames();
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
    QTest::newRow("even lower case") << "19200,e,7,2" << 19200 << int(QSerialPort::EvenParity) << 7
                                     << int(QSerialPort::TwoStop) << "19200,E,7,2";
    QTest::newRow("odd") << "4800,O,8,1" << 4800 << int(QSerialPort::OddParity) << 8
                         << int(QSerialPort::OneStop) << "4800,O,8,1";
    QTest::newRow("mark, one and a half")
        << "1200,m,5,1.5" << 1200 << int(QSerialPort::MarkParity) << 5
        << int(QSerialPort::OneAndHalfStop) << "1200,M,5,1.5";
    QTest::newRow("space") << "115200,S,6,1" << 115200 << int(QSerialPort::SpaceParity) << 6
                           << int(QSerialPort::OneStop) << "115200,S,6,1";
    QTest::newRow("four data bits") << "300,N,4,2" << 300 << int(QSerialPort::NoParity) << 4
                                    << int(QSerialPort::TwoStop) << "300,N,4,2";
}

void tst_SerialLineSettings::parsesSettings()
{
    QFETCH(QString, text);
    SerialLineSettings s;
    QString error;
    QVERIFY2(
        SerialLineSettings::parse(text, &s, &error, QStringLiteral("English")), qPrintable(error));
    QFETCH(int, baud);
    QFETCH(int, parity);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    QFETCH(QString, written);
    QCOMPARE(s.baudRate, baud);
    QCOMPARE(int(s.parity), parity);
    QCOMPARE(s.dataBits, dataBits);
    QCOMPARE(int(s.stopBits), stopBits);
    QCOMPARE(s.toString(), written);
}

void tst_SerialLineSettings::refusesSettings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("mentions");
    QTest::newRow("empty") << ""
                           << "9600,N,8,1";
    QTest::newRow("three fields") << "9600,N,8"
                                  << "9600,N,8";
    QTest::newRow("five fields") << "9600,N,8,1,1"
                                 << "9600,N,8,1,1";
    QTest::newRow("speed not a number") << "fast,N,8,1"
                                        << "fast";
    QTest::newRow("speed zero") << "0,N,8,1"
                                << "\"0\"";
    QTest::newRow("speed beyond 32 bits") << "99999999999,N,8,1"
                                          << "99999999999";
    QTest::newRow("parity letter") << "9600,X,8,1"
                                   << "X";
    QTest::newRow("parity word") << "9600,None,8,1"
                                 << "None";
    QTest::newRow("data bits 3") << "9600,N,3,1"
                                 << "\"3\"";
    QTest::newRow("data bits 9") << "9600,N,9,1"
                                 << "\"9\"";
    QTest::newRow("stop bits 3") << "9600,N,8,3"
                                 << "\"3\"";
    QTest::newRow("stop bits 1.0") << "9600,N,8,1.0"
                                   << "1.0";
}

void tst_SerialLineSettings::refusesSettings()
{
    QFETCH(QString, text);
    QFETCH(QString, mentions);
    SerialLineSettings s;
    s.baudRate = 1234;
    QString error;
    QVERIFY(!SerialLineSettings::parse(text, &s, &error, QStringLiteral("English")));
    QVERIFY2(error.contains(mentions), qPrintable(error));
    QCOMPARE(s.baudRate, 1234); // left as it was
}

void tst_SerialLineSettings::fourDataBitsAreRefusedWhenOpening()
{
    SerialLineSettings s;
    QString error;
    QVERIFY(SerialLineSettings::parse(
        QStringLiteral("9600,N,4,1"), &s, &error, QStringLiteral("English")));
    QSerialPort::DataBits bits = QSerialPort::Data8;
    QVERIFY(!s.portDataBits(&bits, &error, QStringLiteral("English")));
    QVERIFY2(error.contains(QLatin1String("4 data bits")), qPrintable(error));
    s.dataBits = 5;
    QVERIFY(s.portDataBits(&bits, &error, QStringLiteral("English")));
    QCOMPARE(bits, QSerialPort::Data5);
}

void tst_SerialLineSettings::refusalsSpeakTheUsersLanguage()
{
    SerialLineSettings s;
    QString error;
    QVERIFY(!SerialLineSettings::parse(
        QStringLiteral("9600,X,8,1"), &s, &error, QStringLiteral("简体中文")));
    QVERIFY2(error.contains(QStringLiteral("校验位")), qPrintable(error));
    QString port;
    QVERIFY(!serialPortNameFor(QString(), &port, &error, QStringLiteral("简体中文")));
    QCOMPARE(error, QStringLiteral("未设置串口。"));
}

void tst_SerialLineSettings::mapsPortNames_data()
{
    QTest::addColumn<QString>("commPort");
    QTest::addColumn<QString>("portName");
    QTest::newRow("Windows number 1") << "1"
                                      << "ttyS0";
    QTest::newRow("Windows number 3") << "3"
                                      << "ttyS2";
    QTest::newRow("COM4") << "COM4"
                          << "ttyS3";
    QTest::newRow("com2 lower case") << "com2"
                                     << "ttyS1";
    QTest::newRow("USB adapter") << "ttyUSB0"
                                 << "ttyUSB0";
    QTest::newRow("Bluetooth serial") << "rfcomm0"
                                      << "rfcomm0";
    QTest::newRow("device path") << "/dev/pts/3"
                                 << "/dev/pts/3";
    QTest::newRow("blanks around") << " ttyS1 "
                                   << "ttyS1";
}

void tst_SerialLineSettings::mapsPortNames()
{
    QFETCH(QString, commPort);
    QFETCH(QString, portName);
    QString name;
    QString error;
    QVERIFY2(
        serialPortNameFor(commPort, &name, &error, QStringLiteral("English")), qPrintable(error));
    QCOMPARE(name, portName);
}

void tst_SerialLineSettings::refusesPortNames()
{
    QString name;
    QString error;
    QVERIFY(!serialPortNameFor(QStringLiteral("   "), &name, &error, QStringLiteral("English")));
    QVERIFY(!error.isEmpty());
    QVERIFY(!serialPortNameFor(QStringLiteral("0"), &name, &error, QStringLiteral("English")));
    QVERIFY2(error.contains(QLatin1String("numbered from 1")), qPrintable(error));
}

QTEST_GUILESS_MAIN(tst_SerialLineSettings)
#include "tst_seriallinesettings.moc"
