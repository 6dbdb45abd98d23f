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
        const char *rows[][2] = {
            { "Please Select One Creact File ID", "请选择要传输的文件" },
            { "Please Add The File", "请将文件添入列表中" },
            { "Please Select One Date", "请选择一条数据" },
            { "Are You Sure To Delete The List?", "确定要删除此条数据?" },
            { "Port initialization error,Been used or not exit!",
              "初始化失败,端口被占用或者不存在!" },
            { "You must set the port", "请配置端口" },
            { "set failed!", "发送失败!" },
            { "set succeed!", "发送成功!" },
            { "Are you sure to Clear the Screen?", "你确定要清空屏幕数据?" },
            { "Please fill in complete information!", "请将信息填写完整！" },
            { "This IP And Port Has Already In The List!", "IP地址和端口号已在列表中！" },
            { "IP List Reached the Maximum!", "IP地址列表达到最大值！" },
            { "IP Link Error!", "IP地址连接失败!" },
        };
        for (int i = 0; i < 13; ++i)
            QTest::addRow("%d", i + 1) << i + 1 << QString::fromUtf8(rows[i][0])
                                       << QString::fromUtf8(rows[i][1]);
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
        QTest::newRow("English") << "English" << "Information" << "Information";
        QTest::newRow("Chinese") << QStringLiteral("简体中文") << QStringLiteral("系统提示")
                                 << QStringLiteral("系统提示");
        QTest::newRow("jap") << "jap" << "Information" << "Information";
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

    void linkKindNames()
    {
        const QStringList names { "None", "RS232", "BlueTooth", "TCP/IP", "None" };
        for (int kind = -1; kind <= 3; ++kind)
            QCOMPARE(TranceStyleName(qint16(kind)), names.at(kind + 1));
    }
};

QTEST_GUILESS_MAIN(tst_Messages)
#include "tst_messages.moc"
