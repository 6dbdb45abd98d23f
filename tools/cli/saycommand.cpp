// say: a message drawn on a page of the sign's size and sent as a one-row show.

#include "agentchannelclient.h"
#include "cliargs.h"
#include "clicommand.h"
#include "consoleprompts.h"
#include "messageshow.h"
#include "sendsetup.h"

#include "basesettings.h"
#include "getcolor.h"
#include "link.h"
#include "programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

const QString kName = QStringLiteral("say");
const QString kLanguage = QStringLiteral("English");
// How long say --for waits for the agent to take the message (it sends afterwards).
constexpr std::chrono::milliseconds kAgentWait { 2000 };

// The sign of BaseSet.ini in the program folder, the built-in one without it.
BaseSettings signSettings()
{
    BaseSettings settings = defaultBaseSettings();
    const QString path = baseSettingsPath();
    if (QFileInfo(path).isFile()) {
        const SettingsLoadReport report = LoadBaseSettings(settings, path);
        if (report.hasNews())
            QTextStream(stderr) << "vantrel-cli: " << report.message(kLanguage) << '\n';
    }
    return settings;
}

// say --for: the agent of the program folder shows the message for `seconds`, then its
// show again. Checked against the sign first, so a text too long is refused here.
int askAgentToSay(const SayRequest &message, int seconds, const CliArgs &args)
{
    SendOptions::useProgramFolder(args);
    const BaseSettings sign = signSettings();
    const Page::MessageDrawing drawing
        = Page::drawMessage(message.text, message.style, sign.ScreenWidth, sign.ScreenHeight);
    if (!drawing.fits)
        return cliFail(CliExit::kRefused,
            drawing.refusal(message.text, kLanguage) + QStringLiteral(" Nothing was sent."));
    AgentRequest request;
    request.kind = AgentRequest::Kind::Say;
    request.say = message;
    request.seconds = seconds;
    const AgentReply reply = askAgent(programFolder(), request, kAgentWait);
    switch (reply.status) {
    case AgentReply::Status::NoAgent:
        return cliFail(CliExit::kRefused,
            QStringLiteral("--for needs a running vantrel-agent for the program folder %1 to "
                           "put the show back afterwards, and none is running; without --for "
                           "the message stays until the next send. Nothing was sent.")
                .arg(QDir::toNativeSeparators(programFolder())));
    case AgentReply::Status::NoAnswer:
        return cliFail(CliExit::kSendFailed,
            QStringLiteral("The vantrel-agent of %1 did not answer within %2 ms; it may show the "
                           "message still.")
                .arg(QDir::toNativeSeparators(programFolder()))
                .arg(kAgentWait.count()));
    case AgentReply::Status::Answered:
        break;
    }
    if (!reply.ok)
        return cliFail(CliExit::kRefused,
            QStringLiteral("The agent refused the message: %1").arg(reply.error));
    QTextStream(stdout) << QStringLiteral("The agent shows the message for %1 s, until %2, then "
                                          "its show again.")
                               .arg(seconds)
                               .arg(reply.fields.value(QStringLiteral("until")).toString())
                        << '\n';
    return CliExit::kOk;
}

int runSay(const QStringList &argv)
{
    CliArgs args;
    QString error;
    if (!args.parse(argv,
            QStringList { "colour", "color", "font", "size", "align", "for" }
                + SendOptions::valueOptions(),
            QStringList { "shrink" } + SendOptions::switches(), &error))
        return cliUsage(kName, error);
    if (args.positional().isEmpty())
        return cliUsage(kName, QStringLiteral("say needs the TEXT to show"));
    const QString text = args.positional().join(QLatin1Char(' '));
    if (text.trimmed().isEmpty())
        return cliUsage(kName, QStringLiteral("say needs a TEXT that is not blank"));

    Page::MessageStyle style;
    const QString colour = args.has(QStringLiteral("colour")) ? args.value(QStringLiteral("colour"))
                                                              : args.value(QStringLiteral("color"));
    if (!colour.isEmpty() && !parseMessageColour(colour, &style.colour))
        return cliUsage(
            kName, QStringLiteral("--colour is red, green or yellow, not \"%1\"").arg(colour));
    if (args.has(QStringLiteral("align"))
        && !parseMessageAlignment(args.value(QStringLiteral("align")), &style.alignment))
        return cliUsage(kName,
            QStringLiteral("--align is left, centre or right, not \"%1\"")
                .arg(args.value(QStringLiteral("align"))));
    style.family = args.value(QStringLiteral("font")).trimmed();
    style.shrink = args.has(QStringLiteral("shrink"));
    int width = 0, height = 0;
    if (args.has(QStringLiteral("size"))
        && !parseSize(args.value(QStringLiteral("size")), &width, &height))
        return cliUsage(kName, QStringLiteral("--size must be WIDTHxHEIGHT in modules, e.g. 8x1"));
    int seconds = 0;
    if (args.has(QStringLiteral("for"))) {
        bool ok = false;
        seconds = args.value(QStringLiteral("for")).toInt(&ok);
        if (!ok || seconds < 1 || seconds > AgentRequest::kLongestSaySeconds)
            return cliUsage(kName,
                QStringLiteral("--for takes a number of seconds from 1 to %1")
                    .arg(AgentRequest::kLongestSaySeconds));
        for (const QString &option : SendOptions::valueOptions() + SendOptions::switches()) {
            if (option != QLatin1String("program-folder") && args.has(option))
                return cliUsage(kName,
                    QStringLiteral("--for shows the message on the agent's signs; leave out "
                                   "--%1")
                        .arg(option));
        }
        if (args.has(QStringLiteral("size")))
            return cliUsage(
                kName, QStringLiteral("--for draws at the agent's sign size; leave out --size"));
        return askAgentToSay({ text, style }, seconds, args);
    }

    SendSetup setup;
    const int status = SendOptions::read(args, kName, &setup);
    if (status != CliExit::kOk)
        return status;
    const BaseSettings sign = signSettings();
    if (!setup.fromSettingsFile)
        setup.link.Language = sign.Language;
    if (!args.has(QStringLiteral("size"))) {
        width = sign.ScreenWidth;
        height = sign.ScreenHeight;
    }
    if (const std::optional<PacketRefusal> r
        = GetColor::checkPictureSizes(width, height, width, height))
        return cliFail(
            CliExit::kRefused, r->message(kLanguage) + QStringLiteral(" Nothing was sent."));

    const Page::MessageDrawing drawing = Page::drawMessage(text, style, width, height);
    if (!drawing.fits)
        return cliFail(CliExit::kRefused,
            drawing.refusal(text, kLanguage) + QStringLiteral(" Nothing was sent."));

    ConsolePrompts prompts(false);
    Link link(&prompts);
    link.setSettings(setup.link);
    const ShowSendReport report
        = sendMessageShow(link, drawing.canvas, width, height, setup.Trance, sign.Language);
    const QString summary = report.summary(sign.Language);
    switch (report.status) {
    case ShowSendReport::Status::Refused:
        return cliFail(CliExit::kRefused, report.refusal + QStringLiteral(" Nothing was sent."));
    case ShowSendReport::Status::Busy:
        return cliFail(CliExit::kSendFailed, summary);
    case ShowSendReport::Status::Sent:
    case ShowSendReport::Status::Cancelled:
        break;
    }
    if (!report.allSucceeded())
        return cliFail(CliExit::kSendFailed, summary);
    QTextStream(stdout) << summary << '\n';
    return CliExit::kOk;
}

const CliCommandRegistration kSay({
    kName,
    QStringLiteral("say TEXT [--colour red|green|yellow] [--font FAMILY] [--size WxH] "
                   "[--align left|centre|right] [--shrink] [--for SECONDS | --tcp HOST:PORT ... | "
                   "--serial PORT "
                   "[--settings LINE]] [--program-folder DIR]"),
    QStringLiteral(
        "Draws TEXT on a page of the sign's size and sends it as a one-row show: the page\n"
        "as row 1 (slot 3), then the effect table of that one row, entering with \"stay\".\n"
        "The sign, its size and the link come from BaseSet.ini of the program folder.\n"
        "--colour C    red (default), green or yellow\n"
        "--font FAMILY the font (default: the page's default font, 16 LEDs high); Chinese\n"
        "              characters the font lacks come from the sign's Chinese font\n"
        "--size WxH    the sign's size in modules instead of ScreenWidth x ScreenHeight\n"
        "--align A     left, centre (default) or right, across the lit LEDs; the text is\n"
        "              always centred from top to bottom\n"
        "--shrink      a text too wide or too high is drawn at the largest size that fits\n"
        "              (down to 8 LEDs high); without it such a text is refused (exit 2)\n"
        "              with the width it needs in LEDs and modules\n"
        "--for SECONDS  a running vantrel-agent of the program folder shows the message on\n"
        "              its signs for SECONDS (1 to 86400), then its show again; a newer\n"
        "              message replaces an older one. Without an agent: exit 2\n"
        "--tcp HOST:PORT  send over TCP to this target (repeatable, in order)\n"
        "--serial PORT    send over this serial port (ttyUSB0, rfcomm0, /dev/pts/3)\n"
        "--settings LINE  serial line settings for --serial (default 9600,N,8,1)\n"
        "--program-folder DIR  folder of BaseSet.ini (default: $VANTREL_PROGRAM_FOLDER,\n"
        "              else the program folder that vantrel-cli --help names)\n"
        "Exits 0 when both packets were answered with success, 1 when any failed or was\n"
        "not answered, 2 when nothing was sent. With --for: 0 when the agent took the\n"
        "message, 1 when it did not answer, 2 when there is no agent or it refused."),
    runSay,
});

} // namespace
