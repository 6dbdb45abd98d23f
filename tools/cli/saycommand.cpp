// say: a message drawn on a page of the sign's size and sent as a one-row show.

#include "cliargs.h"
#include "clicommand.h"
#include "consoleprompts.h"
#include "sendsetup.h"

#include "basesettings.h"
#include "getcolor.h"
#include "link.h"
#include "messagepage.h"
#include "pagesampler.h"
#include "rowsource.h"
#include "showsendjob.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

const QString kName = QStringLiteral("say");
const QString kLanguage = QStringLiteral("English");

// The one row of the message: entry "stay" (4), speed 3, time 0, repeat 1, no exit effect,
// the page as large as the sign.
constexpr int kStayEffect = 4;

// Hands the drawn message to the show send job whatever page it asks for.
class MessageSampler : public PageSampler
{
public:
    explicit MessageSampler(QImage canvas)
        : m_canvas(std::move(canvas))
    { }
    std::unique_ptr<PixelSource> samplePage(const QString &, qint16, qint16, QString *) override
    {
        return std::make_unique<ImagePixelSource>(m_canvas);
    }

private:
    QImage m_canvas;
};

bool parseColour(const QString &text, QColor *colour)
{
    const QString name = text.trimmed().toLower();
    if (name == QLatin1String("red"))
        *colour = Page::ledRed();
    else if (name == QLatin1String("green"))
        *colour = Page::ledGreen();
    else if (name == QLatin1String("yellow"))
        *colour = Page::ledYellow();
    else
        return false;
    return true;
}

bool parseAlignment(const QString &text, Qt::Alignment *alignment)
{
    const QString name = text.trimmed().toLower();
    if (name == QLatin1String("left"))
        *alignment = Qt::AlignLeft;
    else if (name == QLatin1String("centre") || name == QLatin1String("center"))
        *alignment = Qt::AlignHCenter;
    else if (name == QLatin1String("right"))
        *alignment = Qt::AlignRight;
    else
        return false;
    return true;
}

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
    if (!colour.isEmpty() && !parseColour(colour, &style.colour))
        return cliUsage(
            kName, QStringLiteral("--colour is red, green or yellow, not \"%1\"").arg(colour));
    if (args.has(QStringLiteral("align"))
        && !parseAlignment(args.value(QStringLiteral("align")), &style.alignment))
        return cliUsage(kName,
            QStringLiteral("--align is left, centre or right, not \"%1\"")
                .arg(args.value(QStringLiteral("align"))));
    style.family = args.value(QStringLiteral("font")).trimmed();
    style.shrink = args.has(QStringLiteral("shrink"));
    int width = 0, height = 0;
    if (args.has(QStringLiteral("size"))
        && !parseSize(args.value(QStringLiteral("size")), &width, &height))
        return cliUsage(kName, QStringLiteral("--size must be WIDTHxHEIGHT in modules, e.g. 8x1"));
    if (args.has(QStringLiteral("for"))) {
        bool ok = false;
        const int seconds = args.value(QStringLiteral("for")).toInt(&ok);
        if (!ok || seconds < 1)
            return cliUsage(kName, QStringLiteral("--for takes a number of seconds from 1"));
        return cliFail(CliExit::kRefused,
            QStringLiteral("--for needs a running vantrel-agent to put the show back "
                           "afterwards, and none is available; without --for the message "
                           "stays until the next send. Nothing was sent."));
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

    ListRowSource rows;
    rows.appendRow({ QStringLiteral("1"), QString::number(kStayEffect), QStringLiteral("3"),
        QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("3"),
        QStringLiteral("0"), QStringLiteral("1"), QString::number(width), QString::number(height),
        QStringLiteral("say") });
    SendJobSettings settings;
    settings.ScreenWidth = qint16(width);
    settings.ScreenHeight = qint16(height);
    settings.PerPixel = 16;
    settings.Trance = setup.Trance;
    settings.pageFolder = QDir::currentPath();
    settings.Language = sign.Language;

    ConsolePrompts prompts(false);
    Link link(&prompts);
    link.setSettings(setup.link);
    MessageSampler sampler(drawing.canvas);
    const ShowSendReport report = ShowSendJob(link, sampler).run(rows, settings);
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
                   "[--align left|centre|right] [--shrink] [--tcp HOST:PORT ... | --serial PORT "
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
        "--for SECONDS needs a running vantrel-agent; refused for now\n"
        "--tcp HOST:PORT  send over TCP to this target (repeatable, in order)\n"
        "--serial PORT    send over this serial port (ttyUSB0, rfcomm0, /dev/pts/3)\n"
        "--settings LINE  serial line settings for --serial (default 9600,N,8,1)\n"
        "--program-folder DIR  folder of BaseSet.ini (default: $VANTREL_PROGRAM_FOLDER,\n"
        "              else the program folder that vantrel-cli --help names)\n"
        "Exits 0 when both packets were answered with success, 1 when any failed or was\n"
        "not answered, 2 when nothing was sent."),
    runSay,
});

} // namespace
