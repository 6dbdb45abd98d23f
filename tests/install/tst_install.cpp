// cmake --install into a temporary prefix, then the installed programs run as a user whose
// home folder is fresh: settings go to that user's data folder, never into the prefix, and a
// self-contained folder (executables beside Language.lng) keeps its own settings wherever it is
// copied.

#include "testfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kInstallWaitMs = 240'000;
constexpr int kWaitMs = 30'000; // for an editor to start, or a tool to end
// How long a started editor must keep running after its settings appear: the page given on
// its command line has been opened by then.
constexpr int kSettleMs = 1500;

const QString kBuild = QStringLiteral(VANTREL_BUILD_DIR);

// Every file under `root` with its size and modification time.
QStringList snapshot(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        entries << QStringLiteral("%1 %2 %3")
                       .arg(QDir(root).relativeFilePath(info.filePath()))
                       .arg(info.size())
                       .arg(info.lastModified().toMSecsSinceEpoch());
    }
    entries.sort();
    return entries;
}

// The environment of an ordinary user whose home is `home`, on no screen.
QProcessEnvironment userEnvironment(const QString &home, const QString &xdgDataHome = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.remove(QStringLiteral("XDG_DATA_HOME"));
    env.remove(QStringLiteral("VANTREL_PROGRAM_FOLDER"));
    if (!xdgDataHome.isEmpty())
        env.insert(QStringLiteral("XDG_DATA_HOME"), xdgDataHome);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

struct ToolRun
{
    int exitCode = -1;
    QString out;
};

ToolRun runTool(
    const QString &program, const QStringList &arguments, const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(kWaitMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAllStandardOutput()) };
}

// An editor started for a test and ended with it.
struct Editor : QProcess
{
    Editor(const QString &program, const QStringList &arguments, const QProcessEnvironment &env)
    {
        setProcessEnvironment(env);
        setProcessChannelMode(QProcess::ForwardedErrorChannel);
        start(program, arguments);
    }
    ~Editor() override
    {
        kill();
        waitForFinished();
    }
    bool running() const { return state() == QProcess::Running; }
};

} // namespace

class tst_Install : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_prefix.isValid());
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(VANTREL_CMAKE_COMMAND),
            { QStringLiteral("--install"), kBuild, QStringLiteral("--prefix"), m_prefix.path() });
        QVERIFY(install.waitForFinished(kInstallWaitMs));
        QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
            install.readAll().constData());
        // A page to hand to the editor, outside both the prefix and the user's folder.
        QVERIFY(QFile::copy(QStringLiteral(VANTREL_SOURCE_DIR "/data/samples/welcome.rtf"),
            m_pages.filePath(QStringLiteral("welcome.rtf"))));
        QVERIFY(writeFile(m_pages.filePath("one.vshow"), oneRowShow("welcome.rtf")));
    }

    void installsEveryFile()
    {
        for (const QString &program :
            QStringList { "vantrel", "vantrel-cli", "vantrel-sign", "vantrel-agent" }) {
            QVERIFY2(QFileInfo(bin(program)).isExecutable(), qPrintable(program));
            const QString man
                = installed(QStringLiteral(VANTREL_INSTALL_MANDIR "/man1/") + program);
            QVERIFY2(QFile::exists(man + ".1.gz") || QFile::exists(man + ".1"), qPrintable(man));
        }
        for (const QString file : { "Language.lng", "BaseSet.ini" })
            QCOMPARE(
                readFile(share("vantrel/" + file)), readFile(VANTREL_SOURCE_DIR "/data/" + file));
        const QStringList samples
            = QDir(QStringLiteral(VANTREL_SOURCE_DIR "/data/samples")).entryList(QDir::Files);
        QVERIFY(!samples.isEmpty());
        QCOMPARE(QDir(share("vantrel/samples")).entryList(QDir::Files), samples);
        for (const QString &file :
            QStringList { "applications/vantrel.desktop", "icons/hicolor/scalable/apps/vantrel.svg",
                "mime/packages/vantrel.xml", "doc/vantrel/copyright", "doc/vantrel/changelog.gz" })
            QVERIFY2(QFile::exists(share(file)), qPrintable(file));
        const QString unit
            = QString::fromUtf8(readFile(installed("lib/systemd/user/vantrel-agent.service")));
        QVERIFY(unit.contains("\nExecStart=vantrel-agent ${VANTREL_SCHEDULE}\n"));
        // The desktop entry opens shows, which the MIME file names.
        const QString entry = QString::fromUtf8(readFile(share("applications/vantrel.desktop")));
        QVERIFY(entry.contains("\nExec=vantrel %F\n"));
        QVERIFY(entry.contains("\nMimeType=application/x-vantrel-show;"));
        QVERIFY(
            readFile(share("mime/packages/vantrel.xml")).contains("<glob pattern=\"*.vshow\"/>"));
        const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
        if (validator.isEmpty())
            QSKIP("desktop-file-validate is not installed; the entry was checked by its lines");
        const ToolRun check = runTool(validator, { share("applications/vantrel.desktop") },
            QProcessEnvironment::systemEnvironment());
        QVERIFY2(check.exitCode == 0, qPrintable(check.out));
    }

    void installedEditorKeepsSettingsInTheUsersFolder_data()
    {
        QTest::addColumn<QString>("xdgDataHome"); // relative to the home folder; "" for unset
        QTest::addColumn<QString>("folder"); // the program folder expected, relative to home
        QTest::addColumn<bool>("cli"); // the first run is vantrel-cli's, not the editor's
        QTest::newRow("default data folder") << ""
                                             << ".local/share/vantrel" << false;
        QTest::newRow("XDG_DATA_HOME") << "data"
                                       << "data/vantrel" << false;
        QTest::newRow("vantrel-cli first") << "data"
                                           << "data/vantrel" << true;
    }

    void installedEditorKeepsSettingsInTheUsersFolder()
    {
        QFETCH(QString, xdgDataHome);
        QFETCH(QString, folder);
        QFETCH(bool, cli);
        QTemporaryDir home;
        const QString userFolder = home.filePath(folder);
        const QStringList prefixBefore = snapshot(m_prefix.path());
        const QProcessEnvironment env = userEnvironment(
            home.path(), xdgDataHome.isEmpty() ? QString() : home.filePath(xdgDataHome));

        if (cli) {
            // A cron job's first command: it needs the sign of BaseSet.ini, and gets the folder.
            const ToolRun check = runTool(
                bin("vantrel-cli"), { "show", "check", m_pages.filePath("one.vshow") }, env);
            QVERIFY2(check.exitCode == 0, qPrintable(check.out));
        } else {
            Editor editor(bin("vantrel"), { m_pages.filePath("welcome.rtf") }, env);
            QVERIFY(QTest::qWaitFor(
                [&] { return QFile::exists(userFolder + "/BaseSet.ini"); }, kWaitMs));
            QTest::qWait(kSettleMs);
            QVERIFY2(editor.running(), "the editor ended after opening the page it was given");
        }

        // The shipped settings and sample pages; the language file is read where it is installed.
        const QByteArray shipped = readFile(share("vantrel/BaseSet.ini"));
        QCOMPARE(readFile(userFolder + "/BaseSet.ini").trimmed(), shipped.trimmed());
        QStringList expected = QDir(share("vantrel/samples")).entryList(QDir::Files);
        expected << "BaseSet.ini";
        expected.sort();
        QStringList found = QDir(userFolder).entryList(QDir::Files);
        found.sort();
        QCOMPARE(found, expected);
        QCOMPARE(snapshot(m_prefix.path()), prefixBefore);
        QCOMPARE(readFile(m_pages.filePath("welcome.rtf")),
            readFile(QStringLiteral(VANTREL_SOURCE_DIR "/data/samples/welcome.rtf")));
    }

    void toolsNameTheFolderInUse()
    {
        QTemporaryDir home;
        const QProcessEnvironment env = userEnvironment(home.path());
        const QString userFolder = QDir(home.path()).filePath(".local/share/vantrel");

        const ToolRun cli = runTool(bin("vantrel-cli"), { "--help" }, env);
        QVERIFY2(cli.exitCode == 0
                && cli.out.contains("Program folder: " + userFolder + "\n    (installed"),
            qPrintable(cli.out));
        const ToolRun agent = runTool(bin("vantrel-agent"), { "--help" }, env);
        QVERIFY2(agent.exitCode == 0 && agent.out.endsWith("Program folder: " + userFolder + "\n"),
            qPrintable(agent.out));
        const ToolRun editor = runTool(bin("vantrel"), { "--help" }, env);
        QVERIFY2(
            editor.exitCode == 0 && editor.out.contains("FILE") && editor.out.contains(".vshow"),
            qPrintable(editor.out));
        // Asking makes nothing.
        QVERIFY(!QFileInfo::exists(userFolder));
    }

    void copiedProgramFolderKeepsItsSettings()
    {
        // build/bin copied elsewhere (as onto a USB stick) keeps its settings beside it, not in the
        // user's folder.
        QTemporaryDir stick;
        for (const char *file : { "vantrel", "Language.lng" })
            QVERIFY(QFile::copy(kBuild + "/bin/" + file, stick.filePath(file)));
        QTemporaryDir home;

        Editor editor(stick.filePath("vantrel"), {}, userEnvironment(home.path()));
        QVERIFY(
            QTest::qWaitFor([&] { return QFile::exists(stick.filePath("BaseSet.ini")); }, kWaitMs));
        QVERIFY(editor.running() && !QFileInfo::exists(home.filePath(".local/share/vantrel")));
    }

private:
    QString installed(const QString &relative) const { return m_prefix.filePath(relative); }
    QString bin(const QString &program) const
    {
        return installed(QStringLiteral(VANTREL_INSTALL_BINDIR "/") + program);
    }
    QString share(const QString &relative) const
    {
        return installed(QStringLiteral(VANTREL_INSTALL_DATADIR "/") + relative);
    }

    QTemporaryDir m_prefix;
    QTemporaryDir m_pages;
};

QTEST_GUILESS_MAIN(tst_Install)
#include "tst_install.moc"
