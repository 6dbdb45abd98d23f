#include "languagekeys.h"
#include "mdifrmmain.h"
#include "programfolder.h"

#include <QTemporaryDir>
#include <QtTest>

// Every control of the real main window that takes a text from the language file has its key
// in both languages of the shipped file, with lists as long as their controls.
class tst_MainWindowKeys : public QObject
{
    Q_OBJECT

private slots:
    void everyLookedUpKeyExists_data()
    {
        QTest::addColumn<QString>("section");
        QTest::newRow("English") << "English";
        QTest::newRow("Chinese") << "简体中文";
    }
    void everyLookedUpKeyExists()
    {
        QFETCH(QString, section);
        QTemporaryDir folder;
        setProgramFolder(folder.path());
        MDIFrmMain window;
        verifyWindowKeys(&window, QStringLiteral(VANTREL_SOURCE_DIR "/data/Language.lng"), section);
    }
};

QTEST_MAIN(tst_MainWindowKeys)
#include "tst_mainwindowkeys.moc"
