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
    }

    void catalogue()
    {
        QFETCH(int, number);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        QCOMPARE(MsgText(qint16(number), "English"), english);
        QCOMPARE(MsgText(qint16(number), QStringLiteral("简体中文")), chinese);
        QCOMPARE(MsgText(qint16(number), "jap"), QString());
        QCOMPARE(MsgText(qint16(number), "english"), QString());
    }

    void chinesePunctuationWidths()
    {
        // Half-width marks everywhere except the full-width "！" ending 10 to 12.
        for (int n = 1; n <= 13; ++n) {
            const QString text = MsgText(qint16(n), QStringLiteral("简体中文"));
            const bool fullWidth = n >= 10 && n <= 12;
            QCOMPARE(text.endsWith(QChar(0xFF01)), fullWidth);
        }
        QVERIFY(MsgText(5, QStringLiteral("简体中文")).contains(QLatin1Char(',')));
    }

    void outOfRangeNumbersAreEmpty()
    {
        for (const QString &language : { QString("English"), QStringLiteral("简体中文") }) {
            QCOMPARE(MsgText(0, language), QString());
            QCOMPARE(MsgText(14, language), QString());
            QCOMPARE(MsgText(-1, language), QString());
        }
    }

    void titles()
    {
        QCOMPARE(MsgTitle("English"), QString("Information"));
        QCOMPARE(MsgTitle(QStringLiteral("简体中文")), QStringLiteral("系统提示"));
        QCOMPARE(MsgTitle("jap"), QString("Information"));
        QCOMPARE(MsgTitle("english"), QString());
        QCOMPARE(MsgTitle(QString()), QString());
    }

    void promptBoxesAreNeverEmpty()
    {
        // The catalogue has no texts for "jap"; a box shows the English ones instead.
        QCOMPARE(PromptText(8, "jap"), QString("set succeed!"));
        QCOMPARE(PromptTitle("jap"), QString("Information"));
        QCOMPARE(PromptTitle("Deutsch"), QString("Information"));
        QCOMPARE(PromptText(8, QStringLiteral("简体中文")), QStringLiteral("发送成功!"));
        QCOMPARE(PromptText(14, "English"), QString());
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
        QCOMPARE(TranceStyleName(0), QString("RS232"));
        QCOMPARE(TranceStyleName(1), QString("BlueTooth"));
        QCOMPARE(TranceStyleName(2), QString("TCP/IP"));
        QCOMPARE(TranceStyleName(3), QString("None"));
        QCOMPARE(TranceStyleName(-1), QString("None"));
    }

    void boxStyles()
    {
        QCOMPARE(MsgIcon(3), PromptIcon::Exclamation);
        QCOMPARE(MsgIcon(4), PromptIcon::Question);
        QCOMPARE(MsgIcon(8), PromptIcon::Information);
        QCOMPARE(MsgIcon(9), PromptIcon::Question);
        QCOMPARE(MsgIcon(12), PromptIcon::Exclamation);
    }
};

QTEST_GUILESS_MAIN(tst_Messages)
#include "tst_messages.moc"
