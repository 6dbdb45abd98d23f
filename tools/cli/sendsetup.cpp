#include "sendsetup.h"

#include "basesettings.h"
#include "classinifile.h"
#include "cliargs.h"
#include "clicommand.h"
#include "editorsettings.h"
#include "programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

namespace {

const QString kProgramFolderVariable = QStringLiteral("VANTREL_PROGRAM_FOLDER");
const QString kDefaultLine = QStringLiteral("9600,N,8,1");
const QString kEnglish = QStringLiteral("English");

// "HOST:PORT" or "[IPv6]:PORT" as a target row "host,port,1". The port is checked by the
// link, which reports a bad one as it reports any target it cannot send to.
bool tcpTargetRow(const QString &text, QString *row)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(?:\\[([^\\]]+)\\]|([^:\\[\\],;]+)):([^:,;]+)$"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    const QString host = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
    if (host.contains(QLatin1Char(',')) || host.contains(QLatin1Char(';')))
        return false;
    *row = host + QLatin1Char(',') + m.captured(3) + QStringLiteral(",1");
    return true;
}

} // namespace

namespace SendOptions {

QStringList valueOptions()
{
    return { QStringLiteral("tcp"), QStringLiteral("serial"), QStringLiteral("settings"),
        QStringLiteral("program-folder") };
}

QStringList switches()
{
    return { QStringLiteral("send"), QStringLiteral("yes") };
}

QStringList pictureSwitches()
{
    return { QStringLiteral("dither"), QStringLiteral("threshold") };
}

bool anyGiven(const CliArgs &args)
{
    for (const QString &name : valueOptions() + switches()) {
        if (args.has(name))
            return true;
    }
    return false;
}

QString help()
{
    return QStringLiteral(
        "--send        send to the sign instead of writing a file; each prompt is printed\n"
        "              as a line. Without --tcp or --serial the link of BaseSet.ini in the\n"
        "              program folder is used (Trance, CommPort, CommSettings, IPStr).\n"
        "--tcp HOST:PORT  send over TCP to this target (repeatable, in order)\n"
        "--serial PORT    send over this serial port (ttyUSB0, rfcomm0, /dev/pts/3, or\n"
        "              a COM number n meaning ttyS(n-1))\n"
        "--settings LINE  serial line settings for --serial (default 9600,N,8,1)\n"
        "--program-folder DIR  folder of BaseSet.ini (default: $VANTREL_PROGRAM_FOLDER,\n"
        "              else the program folder that vantrel-cli --help names); its\n"
        "              Language picks the prompts' language, English without it\n"
        "Sending exits 0 when every target answered success, 1 when a sign answered\n"
        "failure, was not reached or did not answer, 2 when nothing was built or sent.");
}

QString defaultProgramFolder()
{
    const QString given = qEnvironmentVariable(qPrintable(kProgramFolderVariable));
    return given.isEmpty() ? programFolder() : QDir(given).absolutePath();
}

void useProgramFolder(const CliArgs &args)
{
    QString folder = args.value(QStringLiteral("program-folder"));
    if (folder.isEmpty())
        folder = qEnvironmentVariable(qPrintable(kProgramFolderVariable));
    if (!folder.isEmpty()) {
        setProgramFolder(QDir(folder).absolutePath());
        return;
    }
    // A user who never opened the window (a cron job, a server) gets the same folder the
    // editor's first start would make.
    const ProgramFolderSetup prepared = prepareProgramFolder();
    if (!prepared.ok())
        QTextStream(stderr) << "vantrel-cli: " << prepared.message(kEnglish) << '\n';
}

bool pictureOption(const CliArgs &args, Page::PictureMode *mode)
{
    if (args.has(QStringLiteral("dither")))
        *mode = Page::PictureMode::Dither;
    else if (args.has(QStringLiteral("threshold")))
        *mode = Page::PictureMode::Threshold;
    else
        return false;
    return true;
}

int read(const CliArgs &args, const QString &command, SendSetup *setup)
{
    const bool tcp = args.has(QStringLiteral("tcp"));
    const bool serial = args.has(QStringLiteral("serial"));
    if (tcp && serial)
        return cliUsage(command, QStringLiteral("give either --tcp or --serial, not both"));
    if (args.has(QStringLiteral("settings")) && !serial)
        return cliUsage(command, QStringLiteral("--settings goes with --serial"));
    if (args.values(QStringLiteral("serial")).size() > 1)
        return cliUsage(command, QStringLiteral("--serial takes one port"));
    if (args.has(QStringLiteral("dither")) && args.has(QStringLiteral("threshold")))
        return cliUsage(command, QStringLiteral("give either --dither or --threshold, not both"));
    setup->assumeYes = args.has(QStringLiteral("yes"));

    useProgramFolder(args);
    const QString iniPath = baseSettingsPath();
    const bool iniExists = QFileInfo(iniPath).isFile();

    setup->link.Language = kEnglish;
    // The window's picture mode, so both send the same LEDs; an option overrides it.
    if (!pictureOption(args, &setup->pictures) && iniExists) {
        QString problem;
        const EditorSettings editor = LoadEditorSettings(iniPath, kEnglish, &problem);
        setup->pictures
            = editor.ditherPictures ? Page::PictureMode::Dither : Page::PictureMode::Threshold;
        if (!problem.isEmpty())
            QTextStream(stderr) << "vantrel-cli: " << problem << '\n';
    }
    if (tcp || serial) {
        if (iniExists) {
            classIniFile ini;
            ini.setINIFileName(iniPath);
            const QString language
                = ini.GetIniKey(QStringLiteral("Language"), QStringLiteral("Language"));
            if (!language.isEmpty())
                setup->link.Language = language;
        }
        if (serial) {
            setup->Trance = 0;
            setup->link.CommPort = args.value(QStringLiteral("serial"));
            setup->link.CommSettings = args.has(QStringLiteral("settings"))
                ? args.value(QStringLiteral("settings"))
                : kDefaultLine;
        } else {
            setup->Trance = 2;
            QStringList rows;
            for (const QString &target : args.values(QStringLiteral("tcp"))) {
                QString row;
                if (!tcpTargetRow(target, &row)) {
                    return cliUsage(command,
                        QStringLiteral("--tcp takes HOST:PORT (or [IPv6]:PORT), "
                                       "not \"%1\"")
                            .arg(target));
                }
                rows.append(row);
            }
            setup->link.IpStr = rows.join(QLatin1Char(';'));
        }
        return CliExit::kOk;
    }

    if (!iniExists) {
        return cliFail(CliExit::kRefused,
            QStringLiteral("there is no %1 to send with; give --tcp HOST:PORT or "
                           "--serial PORT, or point --program-folder (or %2) at the "
                           "folder that holds it")
                .arg(iniPath, kProgramFolderVariable));
    }
    BaseSettings settings;
    const SettingsLoadReport report = LoadBaseSettings(settings, iniPath);
    // Its defaults would send somewhere the operator never chose.
    if (report.unreadable) {
        return cliFail(CliExit::kRefused,
            QStringLiteral("%1 could not be read; make it readable, or give --tcp HOST:PORT "
                           "or --serial PORT")
                .arg(iniPath));
    }
    if (report.hasNews())
        QTextStream(stderr) << "vantrel-cli: " << report.message(settings.Language) << '\n';
    setup->link = LinkSettings::fromBaseSettings(settings);
    setup->Trance = settings.Trance;
    setup->ScreenWidth = settings.ScreenWidth;
    setup->ScreenHeight = settings.ScreenHeight;
    setup->PerPixel = settings.PerPixel;
    setup->fromSettingsFile = true;
    return CliExit::kOk;
}

} // namespace SendOptions
