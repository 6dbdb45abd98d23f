// show check and show send: a show file validated and listed, or sent whole to the sign.

#include "cliargs.h"
#include "clicommand.h"
#include "clipagesampler.h"
#include "consoleprompts.h"
#include "sendsetup.h"

#include "basesettings.h"
#include "classinifile.h"
#include "effectlists.h"
#include "link.h"
#include "messages.h"
#include "programfolder.h"
#include "rowsource.h"
#include "showfile.h"
#include "showsendjob.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

const QString kName = QStringLiteral("show");

// The sign, PerPiex and language of BaseSet.ini in the program folder; the built-in defaults
// when there is none (the file is not created: a script's run leaves the folder as it was).
BaseSettings signSettings()
{
    BaseSettings settings = defaultBaseSettings();
    const QString path = baseSettingsPath();
    if (!QFileInfo(path).isFile()) {
        QTextStream(stderr) << "vantrel-cli: there is no " << QDir::toNativeSeparators(path)
                            << "; the sign is taken as " << settings.ScreenWidth << " x "
                            << settings.ScreenHeight << " modules\n";
        return settings;
    }
    const SettingsLoadReport report = LoadBaseSettings(settings, path);
    if (report.hasNews())
        QTextStream(stderr) << "vantrel-cli: " << report.message(settings.Language) << '\n';
    return settings;
}

SendJobSettings jobSettings(const BaseSettings &sign, const QString &showPath, qint16 trance)
{
    SendJobSettings s;
    s.ScreenWidth = sign.ScreenWidth;
    s.ScreenHeight = sign.ScreenHeight;
    s.PerPixel = sign.PerPixel > 0 ? sign.PerPixel : 16;
    s.Trance = trance;
    // The rows' File Path texts are read relative to the show's own folder.
    s.pageFolder = QFileInfo(showPath).absolutePath();
    s.Language = sign.Language;
    return s;
}

// A printed line per packet: which row went where and what came back.
class PrintedProgress : public ShowSendProgress
{
public:
    void showSendStep(int, int steps, int) override { m_steps = steps; }
    void showSendResult(int row, const SendOutcome &send) override
    {
        QTextStream out(stdout);
        const QString what = row > 0 ? QStringLiteral("row %1 of %2").arg(row).arg(m_steps - 1)
                                     : QStringLiteral("effect table");
        if (send.targets.isEmpty())
            out << what << ": no target\n";
        for (const TargetOutcome &t : send.targets) {
            QString verdict;
            if (t.verdict == Verdict::Success)
                verdict = PromptText(Msg::SetSucceeded, QStringLiteral("English"));
            else if (t.verdict == Verdict::Failure)
                verdict = PromptText(Msg::SetFailed, QStringLiteral("English"));
            else
                verdict = t.problem.isEmpty() ? QStringLiteral("no answer") : t.problem;
            out << what << ": " << t.label() << ": " << verdict << '\n';
        }
        out.flush();
    }

private:
    int m_steps = 0;
};

int runCheck(const QStringList &argv)
{
    CliArgs args;
    QString error;
    if (!args.parse(argv, { QStringLiteral("program-folder") }, {}, &error))
        return cliUsage(kName, error);
    if (args.positional().size() != 1)
        return cliUsage(kName, QStringLiteral("show check needs exactly one show file"));
    SendOptions::useProgramFolder(args);
    const QString showPath = args.positional().first();
    const BaseSettings sign = signSettings();
    const ShowFile::ReadResult show
        = ShowFile::read(showPath, QFileInfo(showPath).absolutePath(), sign.Language);
    if (!show.ok)
        return cliFail(CliExit::kRefused, show.message);

    QTextStream out(stdout);
    const QStringList entries = EffectLists::entryEffects();
    const QStringList exits = EffectLists::exitEffects();
    out << QDir::toNativeSeparators(showPath) << ": " << show.rows.size() << " rows\n";
    out << "NO.\tEffect\tSpeed\tTimes\tRepeat\tEEffect\tESpeed\tETime\tERepeat\tTWidth\tTHeight"
           "\tFile Path\n";
    ListRowSource rows;
    for (const QStringList &row : show.rows) {
        rows.appendRow(row);
        QStringList shown = row;
        shown[ListColumn::Effect - 1]
            += QLatin1Char(' ') + entries.value(row.at(ListColumn::Effect - 1).toInt());
        shown[ListColumn::EEffect - 1]
            += QLatin1Char(' ') + exits.value(row.at(ListColumn::EEffect - 1).toInt());
        out << shown.join(QLatin1Char('\t')) << '\n';
    }
    out.flush();

    // A valid show may still hold a row the sign cannot take (Speed 8 or more, a page too
    // large, no rows at all): the packets are built as "show send" builds them, and nothing
    // is sent.
    ConsolePrompts prompts(false);
    Link link(&prompts);
    CliPageSampler sampler(sign.PerPixel > 0 ? sign.PerPixel : 16);
    ShowPackets packets;
    QString refusal;
    if (!ShowSendJob(link, sampler)
             .prepare(rows, jobSettings(sign, showPath, sign.Trance), &packets, &refusal))
        return cliFail(CliExit::kRefused, QStringLiteral("cannot be sent: ") + refusal);
    out << "every row builds its packets\n";
    return CliExit::kOk;
}

int runSend(const QStringList &argv)
{
    CliArgs args;
    QString error;
    if (!args.parse(argv, SendOptions::valueOptions(), SendOptions::pictureSwitches(), &error))
        return cliUsage(kName, error);
    if (args.positional().size() != 1)
        return cliUsage(kName, QStringLiteral("show send needs exactly one show file"));
    SendSetup setup;
    const int status = SendOptions::read(args, kName, &setup);
    if (status != CliExit::kOk)
        return status;
    const QString showPath = args.positional().first();
    const BaseSettings sign = signSettings();
    if (!setup.fromSettingsFile)
        setup.link.Language = sign.Language;
    const ShowFile::ReadResult show
        = ShowFile::read(showPath, QFileInfo(showPath).absolutePath(), sign.Language);
    if (!show.ok)
        return cliFail(CliExit::kRefused, show.message + QStringLiteral(" Nothing was sent."));
    ListRowSource rows;
    for (const QStringList &row : show.rows)
        rows.appendRow(row);

    PrintedProgress progress;
    ConsolePrompts prompts(false);
    Link link(&prompts);
    link.setSettings(setup.link);
    CliPageSampler sampler(sign.PerPixel > 0 ? sign.PerPixel : 16, setup.pictures);
    const ShowSendReport report = ShowSendJob(link, sampler, &progress)
                                      .run(rows, jobSettings(sign, showPath, setup.Trance));
    switch (report.status) {
    case ShowSendReport::Status::Refused:
        return cliFail(CliExit::kRefused, report.refusal + QStringLiteral(" Nothing was sent."));
    case ShowSendReport::Status::Busy:
        return cliFail(CliExit::kSendFailed, report.summary(sign.Language));
    case ShowSendReport::Status::Sent:
    case ShowSendReport::Status::Cancelled:
        break;
    }
    const QString summary = report.summary(sign.Language);
    if (report.allSucceeded()) {
        QTextStream(stdout) << summary << '\n';
        return CliExit::kOk;
    }
    return cliFail(CliExit::kSendFailed, summary);
}

int runShow(const QStringList &argv)
{
    if (argv.isEmpty())
        return cliUsage(kName, QStringLiteral("show needs check or send"));
    const QString what = argv.first();
    if (what == QLatin1String("check"))
        return runCheck(argv.mid(1));
    if (what == QLatin1String("send"))
        return runSend(argv.mid(1));
    return cliUsage(kName, QStringLiteral("show takes check or send, not %1").arg(what));
}

const CliCommandRegistration kShow({
    kName,
    QStringLiteral("show (check SHOW | send SHOW [--dither | --threshold] [--tcp HOST:PORT ... | "
                   "--serial PORT [--settings LINE]]) [--program-folder DIR]"),
    QStringLiteral(
        "show check: validates a show file (.vshow), lists its rows and builds every\n"
        "            packet without sending; exit 0 when it can be sent, 2 (naming the row)\n"
        "            otherwise.\n"
        "show send:  sends the show as \"Send Show\" does: every row's page as a picture\n"
        "            packet (slot row + 2) in row order, then the effect table of all rows,\n"
        "            one line per packet and target, then one summary. Every row is checked\n"
        "            first; a row that builds no packet sends nothing.\n"
        "The pages are found relative to the show's folder. The sign's size, PerPiex and\n"
        "the language come from BaseSet.ini of the program folder, the link too unless\n"
        "--tcp or --serial is given (Trance, CommPort, CommSettings, IPStr), and so does\n"
        "how pictures become LED colours (\"Pictures\" of [EditorSet], as the window sends).\n"
        "--dither, --threshold  pictures dithered or thresholded, whatever BaseSet.ini says\n"
        "--tcp HOST:PORT  send over TCP to this target (repeatable, in order)\n"
        "--serial PORT    send over this serial port (ttyUSB0, rfcomm0, /dev/pts/3)\n"
        "--settings LINE  serial line settings for --serial (default 9600,N,8,1)\n"
        "--program-folder DIR  folder of BaseSet.ini (default: $VANTREL_PROGRAM_FOLDER,\n"
        "              else the program folder that vantrel-cli --help names)\n"
        "show send exits 0 when every packet was answered with success, 1 when any failed\n"
        "or was not answered, 2 when nothing was sent (a bad show: the row is named)."),
    runShow,
});

} // namespace
