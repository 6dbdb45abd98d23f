#include "basesettings.h"
#include "messages.h"

#include <QtTest>

class tst_Messages : public QObject
{
    Q_OBJECT

private slots:
    void catalogue_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        // The first and last of the catalogue, and numbers just outside it.
        QTest::addRow("1") << 1 << "Please Select One Creact File ID"
                           << QString::fromUtf8("请选择要传输的文件");
        QTest::addRow("13") << 13 << "IP Link Error!" << QString::fromUtf8("IP地址连接失败!");
        for (int outside : { 0, 14, -1 })
            QTest::addRow("%d", outside) << outside << QString() << QString();
    }
    void catalogue()
    {
        QFETCH(int, number);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        const qint16 n = qint16(number);
        QCOMPARE(MsgText(n, "English"), english);
        QCOMPARE(MsgText(n, QStringLiteral("简体中文")), chinese);
        QCOMPARE(MsgText(n, "jap"), QString()); // the language name must match exactly
        QCOMPARE(MsgText(n, "english"), QString());
        // A box is never empty: languages without built-in prompts show the English ones.
        QCOMPARE(PromptText(n, QStringLiteral("简体中文")), chinese);
        QCOMPARE(PromptText(n, "jap"), english);
        QCOMPARE(PromptText(n, "Deutsch"), english);
    }

    void titles_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("promptTitle");
        QTest::newRow("English") << "English"
                                 << "Information"
                                 << "Information";
        QTest::newRow("Chinese") << QStringLiteral("简体中文") << QStringLiteral("系统提示")
                                 << QStringLiteral("系统提示");
        QTest::newRow("jap") << "jap"
                             << "Information"
                             << "Information";
        QTest::newRow("lower case") << "english" << QString() << "Information";
        QTest::newRow("unknown") << "Deutsch" << QString() << "Information";
    }
    void titles()
    {
        QFETCH(QString, language);
        QTEST(MsgTitle(language), "title");
        QTEST(PromptTitle(language), "promptTitle");
    }

    void currentLanguageIsRead()
    {
        baseSettings().Language = QStringLiteral("简体中文");
        QCOMPARE(MsgText(7), QStringLiteral("发送失败!"));
        QCOMPARE(MsgTitle(), QStringLiteral("系统提示"));
        baseSettings().Language = "English";
        QCOMPARE(MsgText(13), QString("IP Link Error!"));
    }
};

QTEST_GUILESS_MAIN(tst_Messages)
#include "tst_messages.moc"
