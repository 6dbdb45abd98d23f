#include "basesettings.h"
#include "classinifile.h"
#include "frmset.h"
#include "languagefile.h"
#include "languagekeys.h"

#include <QtTest>

// The shipped Language.lng: every key the settings dialog and the main window look up, in both
// languages, with lists as long as their controls, and English texts equal to the built-in
// captions.
class tst_LanguageKeys : public QObject
{
    Q_OBJECT

private:
    const QString m_folder = QStringLiteral(VANTREL_SOURCE_DIR "/data");
    QString iniPath() const { return m_folder + QStringLiteral("/Language.lng"); }
    QString text(const QString &section, const QString &key) const
    {
        classIniFile ini;
        ini.setINIFileName(iniPath());
        QString value;
        if (!ini.findIniKey(section, key, &value, kMaxLanguageTextBytes))
            return QStringLiteral("<missing>");
        return value;
    }

    // The main window's keys and, for list texts, the number of entries.
    static QList<QPair<QString, int>> mainWindowKeys()
    {
        QList<QPair<QString, int>> keys;
        for (const char *key : { "file", "new", "save", "saveas", "close", "exit", "edit", "cut",
                 "copy", "paste", "selectall", "textclear", "set", "baseset", "language", "English",
                 "chinese", "jap", "screenclear", "tools", "painter", "notebook", "window",
                 "Horizontal", "ArrVertical", "Cascade", "help", "About", "FrmEffect", "Frame1",
                 "LblName", "LblEffect", "LblSpeed", "LblTimes", "LblRepeat", "LblEffectE",
                 "LblSpeedE", "LblTimesE", "LblRepeatE", "LblWidth", "LblHeight", "LblTxtWidth",
                 "LblTxtHeight", "CmdSendChecked", "CmdSendAll", "CmdExit" })
            keys.append({ QString::fromLatin1(key), 0 });
        keys.append({ "tbToolBar", 9 });
        keys.append({ "tbFormatBar", 16 });
        keys.append({ "ListView1", 12 });
        keys.append({ "CobEffect", 11 });
        keys.append({ "CobEffectE", 6 });
        return keys;
    }

private slots:
    void initTestCase() { QVERIFY(LanguageFileExists(m_folder)); }

    void mainWindowKeysInBothLanguages_data()
    {
        QTest::addColumn<QString>("section");
        QTest::newRow("English") << "English";
        QTest::newRow("Chinese") << "简体中文";
    }
    void mainWindowKeysInBothLanguages()
    {
        QFETCH(QString, section);
        for (const auto &[key, entries] : mainWindowKeys()) {
            const QString value = text(section, key);
            QVERIFY2(value != "<missing>", qPrintable(section + ": " + key));
            QVERIFY2(!value.isEmpty(), qPrintable(section + ": " + key));
            if (entries > 0) {
                const QStringList list = splitLanguageList(value);
                QCOMPARE(list.size(), entries);
                QVERIFY2(!list.contains(QString()), qPrintable(section + ": " + key));
            }
        }
    }

    void englishTextsAreTheBuiltInCaptions()
    {
        const QList<QPair<QString, QString>> captions = {
            { "file", "&File" },
            { "new", "&New" },
            { "save", "&Save" },
            { "saveas", "&Save As" },
            { "close", "&Close" },
            { "exit", "&Exit" },
            { "edit", "&Edit" },
            { "cut", "&Cut" },
            { "copy", "&Copy" },
            { "paste", "&Paste" },
            { "selectall", "&Select All" },
            { "textclear", "&TextClear" },
            { "set", "&Set" },
            { "baseset", "&Base Set" },
            { "language", "&Language" },
            { "English", "English" },
            { "chinese", "简体中文" },
            { "jap", "日文" },
            { "screenclear", "&Screen Clear" },
            { "tools", "&Tools" },
            { "painter", "&Painter" },
            { "notebook", "&NoteBook" },
            { "window", "&Window" },
            { "Horizontal", "Tile &Horizontal" },
            { "ArrVertical", "Tile &Vertical" },
            { "Cascade", "&Cascade" },
            { "help", "&Help" },
            { "About", "About Vantrel" },
            { "ListView1",
                "NO.,Effect,Speed,Times,Repeat,EEffect,ESpeed,ETime,ERepeat,TWidth,THeight,"
                "File Path" },
            { "CobEffect",
                "rightleft,leftright,downup,updown,stay,flash,unknow,shutter,lazer,zoomup,move" },
            { "CobEffectE", "none,rightleft,leftright,downup,updown,stay" },
            { "FrmEffect", "Display Effect:" }, // the file's values lose trailing blanks
            { "LblName", "Vantrel V2.0" },
            { "LblEffect", "Effect" },
            { "LblSpeed", "Speed" },
            { "LblTimes", "Time" },
            { "LblRepeat", "Repeat" },
            { "LblEffectE", "EEffect" },
            { "LblSpeedE", "ESpeed" },
            { "LblTimesE", "ETime" },
            { "LblRepeatE", "ERepeat" },
            { "LblWidth", "TextWidth" },
            { "LblHeight", "TextHeight" },
            { "LblTxtWidth", "TextWidth" },
            { "LblTxtHeight", "TextHeight" },
            { "CmdSendChecked", "SendChar" },
            { "CmdSendAll", "SendCtrl" },
            { "CmdExit", "Exit" },
        };
        for (const auto &[key, caption] : captions)
            QCOMPARE(text("English", key), caption);

        const QList<QPair<QString, QString>> dialog = {
            { "Base_TS", "Trance,Screen" },
            { "LblPort", "Port" },
            { "LblBaud", "Baud rate" },
            { "LblDataBits", "Data bits" },
            { "LblStopBits", "Stop bits" },
            { "LblParity", "Parity" },
            { "LblServerIP", "Server IP" },
            { "LblServerPort", "Server Port" },
            { "CmdIPListAdd", "IP Add" },
            { "ListView1", "IP Address,IP Port" },
            { "LblWidth", "Screen Width" },
            { "LblHeight", "Screen Height" },
            { "LblPerpix", "Screen PerPixel" },
            { "CmdOK", "OK" },
            { "CmdCancle", "Close" },
        };
        for (const auto &[key, caption] : dialog)
            QCOMPARE(text("EnglishBasic", key), caption);
    }

    void settingsDialogKeysInBothLanguages_data()
    {
        QTest::addColumn<QString>("section");
        QTest::newRow("English") << "EnglishBasic";
        QTest::newRow("Chinese") << "简体中文Basic";
    }
    void settingsDialogKeysInBothLanguages()
    {
        QFETCH(QString, section);
        BaseSettings settings = defaultBaseSettings();
        FrmSet dialog(nullptr, &settings, QString(), m_folder);
        verifyWindowKeys(&dialog, iniPath(), section);
    }

    void chineseIsReallyTranslated()
    {
        // A key copied over untranslated would show English in the Chinese interface.
        for (const char *key : { "file", "tbFormatBar", "ListView1", "CobEffect", "CmdExit" })
            QVERIFY2(text("English", key) != text("简体中文", key), key);
        for (const char *key : { "Base_TS", "LblPort", "CmdOK", "CmdCancle", "FraSerial" })
            QVERIFY2(text("EnglishBasic", key) != text("简体中文Basic", key), key);
    }
};

QTEST_MAIN(tst_LanguageKeys)
#include "tst_languagekeys.moc"
