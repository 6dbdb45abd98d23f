// sites test: connects to the broker of [Sites] in BaseSet.ini and says whether it worked.

#include "cliargs.h"
#include "clicommand.h"
#include "sendsetup.h"

#include "basesettings.h"
#include "classinifile.h"
#include "mqttclient.h"
#include "programfolder.h"
#include "sitessettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QTextStream>
#include <QTimer>

#include <chrono>

namespace {

const QString kName = QStringLiteral("sites");
const QString kFolderOption = QStringLiteral("program-folder");
// A broker that has not answered by then is taken as not reached.
constexpr std::chrono::seconds kTestWait { 10 };

int runTest(const QStringList &argv)
{
    CliArgs args;
    QString error;
    if (!args.parse(argv, { kFolderOption }, {}, &error))
        return cliUsage(kName, error);
    if (!args.positional().isEmpty())
        return cliUsage(kName, QStringLiteral("sites test takes no file"));
    const QString folder = args.value(kFolderOption);
    setProgramFolder(
        folder.isEmpty() ? SendOptions::defaultProgramFolder() : QDir(folder).absolutePath());

    classIniFile ini;
    ini.setINIFileName(baseSettingsPath());
    QString language = ini.GetIniKey(QStringLiteral("Language"), QStringLiteral("Language"));
    if (language.isEmpty())
        language = QStringLiteral("English");
    const SitesSettingsFile::ReadResult read
        = SitesSettingsFile::read(baseSettingsPath(), programFolder(), language);
    if (!read.ok)
        return cliFail(CliExit::kRefused, read.message);
    const SitesSettings &settings = read.settings;
    if (!settings.enabled) {
        return cliFail(CliExit::kRefused,
            QStringLiteral("%1 has no broker in [Sites]: sites are off.")
                .arg(QDir::toNativeSeparators(baseSettingsPath())));
    }

    MqttClient::Options options;
    options.host = settings.host;
    options.port = settings.port;
    options.tls = settings.tls;
    options.caFile = settings.caFile;
    // Its own id, so a test never puts off the site's agent.
    options.clientId = QStringLiteral("vantrel-test-%1-%2")
                           .arg(settings.site)
                           .arg(QCoreApplication::applicationPid());
    options.user = settings.user;
    if (!settings.passwordFile.isEmpty()
        && !SitesSettingsFile::readPassword(
            settings.passwordFile, language, &options.password, &error))
        return cliFail(CliExit::kRefused, error);

    MqttClient client(options);
    QEventLoop loop;
    QString failure;
    QObject::connect(&client, &MqttClient::connected, &loop, [&] { loop.exit(0); });
    QObject::connect(&client, &MqttClient::disconnected, &loop, [&](const QString &reason) {
        failure = reason;
        loop.exit(1);
    });
    QTimer::singleShot(kTestWait, &loop, [&] {
        failure = QStringLiteral("no answer within %1 s").arg(kTestWait.count());
        loop.exit(1);
    });
    if (!client.start(&error))
        return cliFail(CliExit::kRefused, error);
    const bool ok = loop.exec() == 0;
    client.stop();
    if (!ok) {
        return cliFail(CliExit::kSendFailed,
            QStringLiteral("%1 was not reached: %2").arg(settings.broker, failure));
    }
    QTextStream(stdout) << "Connected to " << settings.broker << " as site " << settings.site
                        << (settings.tls ? " (TLS, certificate checked)" : "") << '\n';
    return CliExit::kOk;
}

int runSites(const QStringList &argv)
{
    const QString what = argv.value(0);
    if (what == QLatin1String("test"))
        return runTest(argv.mid(1));
    return cliUsage(kName,
        what.isEmpty() ? QStringLiteral("sites needs test")
                       : QStringLiteral("sites takes test, not %1").arg(what));
}

const CliCommandRegistration kSites({
    kName,
    QStringLiteral("sites test [--program-folder DIR]"),
    QStringLiteral(
        "test:   connects to the broker of [Sites] in BaseSet.ini (Broker, Site, User,\n"
        "        PasswordFile, CAFile) and says whether it answered; exit 0 when it did,\n"
        "        1 (with the reason) when it did not, 2 when [Sites] is missing or bad.\n"
        "--program-folder DIR  folder of BaseSet.ini (default: $VANTREL_PROGRAM_FOLDER, else\n"
        "              the folder of vantrel-cli)"),
    runSites,
});

} // namespace
