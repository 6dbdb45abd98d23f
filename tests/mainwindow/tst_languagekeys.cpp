#include "basesettings.h"
#include "classinifile.h"
#include "frmset.h"
#include "languageapplier.h"
#include "languagefile.h"
#include "mdifrmmain.h"
#include "programfolder.h"
#include "sendmessagedialog.h"
#include "sitesdialog.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString kLanguageFile = QStringLiteral(VANTREL_SOURCE_DIR "/data/Language.lng");

// The keys of `section` of the shipped language file.
QStringList sectionKeys(const QString &section)
{
    QSettings ini(kLanguageFile, QSettings::IniFormat);
    ini.beginGroup(section);
    return ini.childKeys();
}

// The value as the program reads it; "<missing>" when the section has no such key.
QString text(const QString &section, const QString &key)
{
    classIniFile ini;
    ini.setINIFileName(kLanguageFile);
    QString value;
    return ini.findIniKey(section, key, &value, kMaxLanguageTextBytes) ? value : u"<missing>"_s;
}

} // namespace

// The shipped Language.lng against the real main window and settings dialog: every control
// that takes a text has its key in both languages, lists as long as their controls, every key
// names a control (none was renamed away from its text), and the Chinese texts are translated.
class tst_LanguageKeys : public QObject
{
    Q_OBJECT

private slots:
    void everyLookedUpKeyExists_data()
    {
        QTest::addColumn<QString>("section"); // "…Basic": the settings dialog's; "…Sites": sites'
        for (const char *section : { "English", "简体中文", "EnglishBasic", "简体中文Basic",
                 "EnglishSites", "简体中文Sites" })
            QTest::newRow(section) << QString::fromUtf8(section);
    }
    void everyLookedUpKeyExists()
    {
        QFETCH(QString, section);
        const QString suffix = section.endsWith("Basic") ? u"Basic"_s
            : section.endsWith("Sites")                  ? u"Sites"_s
                                                         : QString();
        const QString english = u"English"_s + suffix;
        QTemporaryDir folder;
        setProgramFolder(folder.path());
        BaseSettings settings = defaultBaseSettings();
        std::vector<std::unique_ptr<QWidget>> windows;
        if (suffix == "Basic") {
            windows.push_back(
                std::make_unique<FrmSet>(nullptr, &settings, QString(), folder.path()));
        } else if (suffix == "Sites") {
            // Both dialogs of sites share one section.
            windows.push_back(std::make_unique<SitesDialog>(
                folder.filePath("BaseSet.ini"), folder.path(), folder.path(), u"English"_s));
            windows.push_back(
                std::make_unique<SendMessageDialog>(u"all"_s, folder.path(), u"English"_s));
        } else {
            windows.push_back(std::make_unique<MDIFrmMain>());
        }

        QStringList named;
        QList<QObject *> controls;
        for (const auto &window : windows)
            controls += languageControls(window.get());
        for (QObject *control : controls) {
            named.append(control->objectName());
            if (languageControlKind(control) == LanguageControlKind::None)
                continue;
            const QString key = control->objectName();
            const QString value = text(section, key);
            QVERIFY2(value != "<missing>", qPrintable(section + " has no key " + key));
            QVERIFY2(!value.isEmpty() && !splitLanguageList(value).contains(QString()),
                qPrintable(section + ": an empty text for " + key));
            const int capacity = languageListCapacity(control);
            QVERIFY2(capacity <= 0 || splitLanguageList(value).size() == capacity,
                qPrintable(QStringLiteral("%1: %2 has %3 entries for %4 places")
                               .arg(section, key)
                               .arg(splitLanguageList(value).size())
                               .arg(capacity)));
        }
        const QStringList keys = sectionKeys(section);
        QVERIFY(keys.size() > 10);
        for (const QString &key : keys) {
            QVERIFY2(named.contains(key), qPrintable(section + ": no control is named " + key));
            // Only the language names and the program's name read the same in both.
            if (section != english
                && !QStringList({ "English", "chinese", "jap", "LblName" }).contains(key))
                QVERIFY2(text(section, key) != text(english, key),
                    qPrintable(section + ": untranslated " + key));
        }
    }
};

QTEST_MAIN(tst_LanguageKeys)
#include "tst_languagekeys.moc"
