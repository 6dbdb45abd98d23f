// Where the program keeps its settings: beside the executables in a self-contained folder, in
// the user's data folder when installed, made at the first start from what is shipped.

#include "programfolder.h"
#include "testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kShippedSettings = "[ScreenSet]\nScreenWidth=8\n";

} // namespace

class tst_ProgramFolder : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_shipped = m_dir->filePath("share/vantrel");
        QVERIFY(QDir().mkpath(m_shipped + "/samples"));
        QVERIFY(writeFile(m_shipped + "/BaseSet.ini", kShippedSettings));
        // Installed files are read-only to their users.
        QVERIFY(
            QFile::setPermissions(m_shipped + "/BaseSet.ini", QFile::ReadOwner | QFile::ReadOther));
        QVERIFY(writeFile(m_shipped + "/Language.lng", "[English]\n"));
        QVERIFY(writeFile(m_shipped + "/samples/welcome.rtf", "{\\rtf1 Welcome}"));
        QVERIFY(writeFile(m_shipped + "/samples/logo.bmp", "BM"));
    }

    void layoutIsToldByTheFiles_data()
    {
        // init() ships share/vantrel with its Language.lng: "bin" beside it is an installed prefix.
        QTest::addColumn<QString>("executables");
        QTest::addColumn<bool>("languageFileBeside");
        QTest::addColumn<bool>("installed");
        QTest::newRow("an installed prefix") << "bin" << false << true;
        QTest::newRow("a folder of its own") << "bin" << true << false;
        QTest::newRow("a copy on a stick") << "stick/vantrel" << true << false;
        QTest::newRow("neither") << "stick/bare" << false << false;
    }

    void layoutIsToldByTheFiles()
    {
        QFETCH(QString, executables);
        QFETCH(bool, languageFileBeside);
        const QString folder = m_dir->filePath(executables);
        QVERIFY(QDir().mkpath(folder));
        if (languageFileBeside)
            QVERIFY(writeFile(folder + "/Language.lng", "[English]\n"));
        QTEST(isInstalledLayout(folder), "installed");
    }

    void firstStartFillsTheFolderLaterOnesKeepIt()
    {
        const QString folder = m_dir->filePath("home/.local/share/vantrel");
        const ProgramFolderSetup setup = prepareProgramFolder(folder, m_shipped);
        QVERIFY2(setup.ok(), qPrintable(setup.message("English")));
        QVERIFY(setup.created);
        QCOMPARE(setup.folder, folder);
        QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name),
            QStringList({ "BaseSet.ini", "logo.bmp", "welcome.rtf" }));
        QCOMPARE(readFile(folder + "/BaseSet.ini"), kShippedSettings);
        QCOMPARE(readFile(folder + "/welcome.rtf"), QByteArray("{\\rtf1 Welcome}"));
        // The copy is the user's to change, and nothing of the making is left beside it.
        QVERIFY(QFileInfo(folder + "/BaseSet.ini").isWritable());
        QCOMPARE(QDir(m_dir->filePath("home/.local/share"))
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList({ "vantrel" }));
        // Later starts keep what the user changed or removed, but for a removed settings file,
        // which comes back as shipped.
        QVERIFY(QFile::remove(folder + "/welcome.rtf"));
        QVERIFY(writeFile(folder + "/BaseSet.ini", "[ScreenSet]\nScreenWidth=12\n"));
        const ProgramFolderSetup again = prepareProgramFolder(folder, m_shipped);
        QVERIFY(again.ok() && !again.created);
        QCOMPARE(readFile(folder + "/BaseSet.ini"), QByteArray("[ScreenSet]\nScreenWidth=12\n"));
        QVERIFY(QFile::remove(folder + "/BaseSet.ini"));
        QVERIFY(prepareProgramFolder(folder, m_shipped).ok());
        QCOMPARE(readFile(folder + "/BaseSet.ini"), kShippedSettings);
        QVERIFY(!QFile::exists(folder + "/welcome.rtf"));
    }

    void folderThatCannotBeMadeIsTold()
    {
        // A file where the data folder should be: no folder can be made under it, even by root.
        QVERIFY(writeFile(m_dir->filePath("blocked"), "not a folder"));
        const QString folder = m_dir->filePath("blocked/vantrel");
        const ProgramFolderSetup setup = prepareProgramFolder(folder, m_shipped);
        QVERIFY(!setup.ok());
        QVERIFY(!setup.created);
        const QString english = setup.message("English");
        const QString chinese = setup.message("简体中文");
        QVERIFY2(english.contains(setup.failedPath) && english.contains("could not set up"),
            qPrintable(english));
        QVERIFY2(chinese.contains(setup.failedPath) && chinese.contains("无法建立"),
            qPrintable(chinese));
    }

    void languageFileIsTheUsersCopyElseTheShippedOne()
    {
        const QString user = m_dir->filePath("user");
        QVERIFY(QDir().mkpath(user));
        QCOMPARE(languageFolderOf(user, m_shipped), m_shipped);
        QCOMPARE(languageFolderOf(user, QString()), user); // not installed: the program folder
        QVERIFY(writeFile(user + "/Language.lng", "[English]\n"));
        QCOMPARE(languageFolderOf(user, m_shipped), user);
        QCOMPARE(languageFolderOf(m_dir->filePath("empty"), m_dir->filePath("none")),
            m_dir->filePath("empty"));
    }

    void buildTreeRunStaysBesideTheExecutables()
    {
        const QString home = m_dir->filePath("fresh-home");
        qputenv("XDG_DATA_HOME", home.toLocal8Bit());
        QVERIFY(!runsInstalled());
        QCOMPARE(programFolder(), QCoreApplication::applicationDirPath());
        QCOMPARE(installedDataFolder(), QString());
        const ProgramFolderSetup setup = prepareProgramFolder();
        QVERIFY(setup.ok());
        QVERIFY(!setup.created);
        QCOMPARE(setup.folder, QCoreApplication::applicationDirPath());
        QVERIFY(!QFileInfo::exists(home));
        qunsetenv("XDG_DATA_HOME");
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_shipped;
};

QTEST_GUILESS_MAIN(tst_ProgramFolder)
#include "tst_programfolder.moc"
