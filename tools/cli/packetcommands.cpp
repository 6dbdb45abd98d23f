// packet, control and clear: write the three sign packets to files, or send them.

#include "cliargs.h"
#include "clicommand.h"
#include "pagepixels.h"
#include "sendrunner.h"
#include "sendsetup.h"

#include "getcolor.h"
#include "localtext.h"
#include "rowsource.h"

#include <limits>

namespace {

const QString kLanguage = QStringLiteral("English");

bool parseInt16(const QString &text, qint16 *out)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max())
        return false;
    *out = qint16(v);
    return true;
}

// A packet goes either to a file (--out) or to the sign (--send); the link options only make
// sense with --send.
int checkDestination(const QString &name, const CliArgs &args)
{
    const bool send = args.has(QStringLiteral("send"));
    if (send == args.has(QStringLiteral("out")))
        return cliUsage(name, QStringLiteral("%1 needs either --out FILE or --send").arg(name));
    // The program folder also serves a written packet: its values and files fill the fields.
    const bool linkOption = args.has(QStringLiteral("tcp")) || args.has(QStringLiteral("serial"))
        || args.has(QStringLiteral("settings")) || args.has(QStringLiteral("yes"));
    if (!send && linkOption)
        return cliUsage(name, QStringLiteral("--tcp, --serial, --settings and --yes go with --send"));
    return CliExit::kOk;
}

int writePacket(const PacketResult &result, const QString &out)
{
    if (!result.ok)
        return cliFail(CliExit::kRefused, result.refusal.message(kLanguage));
    QString error;
    if (!writeOutputFile(out, result.bytes, &error))
        return cliFail(CliExit::kRefused, error);
    return CliExit::kOk;
}

int runPacket(const QStringList &argv)
{
    const QString name = QStringLiteral("packet");
    CliArgs args;
    QString error;
    if (!args.parse(argv,
                    QStringList { "size", "screen", "slot", "out", "per-pixel" }
                            + SendOptions::valueOptions(),
                    SendOptions::switches() + SendOptions::pictureSwitches(), &error))
        return cliUsage(name, error);
    if (args.positional().size() != 1)
        return cliUsage(name, QStringLiteral("packet needs exactly one page file"));
    const int destination = checkDestination(name, args);
    if (destination != CliExit::kOk)
        return destination;
    int textWidth = 0, textHeight = 0;
    if (!parseSize(args.value(QStringLiteral("size")), &textWidth, &textHeight))
        return cliUsage(name, QStringLiteral("--size must be WIDTHxHEIGHT in modules, e.g. 8x1"));
    const bool send = args.has(QStringLiteral("send"));
    SendSetup setup;
    if (send) {
        const int status = SendOptions::read(args, name, &setup);
        if (status != CliExit::kOk)
            return status;
    } else if (args.has(QStringLiteral("dither")) && args.has(QStringLiteral("threshold"))) {
        return cliUsage(name, QStringLiteral("give either --dither or --threshold, not both"));
    } else {
        SendOptions::useProgramFolder(args);
    }
    Page::PictureMode pictures = setup.pictures;
    if (!send)
        SendOptions::pictureOption(args, &pictures);
    int screenWidth = setup.fromSettingsFile ? setup.ScreenWidth : textWidth;
    int screenHeight = setup.fromSettingsFile ? setup.ScreenHeight : textHeight;
    if (args.has(QStringLiteral("screen"))
        && !parseSize(args.value(QStringLiteral("screen")), &screenWidth, &screenHeight))
        return cliUsage(name, QStringLiteral("--screen must be WIDTHxHEIGHT in modules"));
    qint16 slot = 1;
    if (args.has(QStringLiteral("slot")) && !parseInt16(args.value(QStringLiteral("slot")), &slot))
        return cliUsage(name, QStringLiteral("--slot must be a whole number"));
    qint16 perPixel = setup.fromSettingsFile && setup.PerPixel > 0 ? setup.PerPixel : 16;
    if (args.has(QStringLiteral("per-pixel"))
        && (!parseInt16(args.value(QStringLiteral("per-pixel")), &perPixel) || perPixel < 1))
        return cliUsage(name, QStringLiteral("--per-pixel must be a positive whole number"));

    if (send) {
        if (slot < 1)
            return cliUsage(name, QStringLiteral("to send, --slot is a program-list row from 1"));
        return SendRunner(setup).sendPage(args.positional().first(), qint16(textWidth),
                                          qint16(textHeight), slot, qint16(screenWidth),
                                          qint16(screenHeight), perPixel, pictures);
    }

    // Refused before the page is drawn (the send job does the same): a size the packet cannot
    // carry would only cost a canvas of up to 32767 x 32767 pixels.
    if (const std::optional<PacketRefusal> r =
                GetColor::checkPictureSizes(screenWidth, screenHeight, textWidth, textHeight))
        return cliFail(CliExit::kRefused, r->message(kLanguage));
    std::unique_ptr<PixelSource> page = loadPagePixels(args.positional().first(),
                                                       qint16(textWidth), qint16(textHeight),
                                                       perPixel, &error, pictures);
    if (!page)
        return cliFail(CliExit::kRefused, error);
    const PacketResult result = GetColor().SendPicMod(*page, qint16(screenWidth),
                                                      qint16(screenHeight), qint16(textWidth),
                                                      qint16(textHeight), perPixel, slot);
    return writePacket(result, args.value(QStringLiteral("out")));
}

int runControl(const QStringList &argv)
{
    const QString name = QStringLiteral("control");
    CliArgs args;
    QString error;
    if (!args.parse(argv, QStringList { "row", "out" } + SendOptions::valueOptions(),
                    SendOptions::switches(), &error))
        return cliUsage(name, error);
    if (!args.positional().isEmpty())
        return cliUsage(name, QStringLiteral("unexpected argument %1").arg(args.positional().first()));
    const int destination = checkDestination(name, args);
    if (destination != CliExit::kOk)
        return destination;
    const QStringList rows = args.values(QStringLiteral("row"));
    if (rows.isEmpty())
        return cliUsage(name, QStringLiteral("control needs at least one --row"));
    ListRowSource list;
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList values = rows.at(i).split(QLatin1Char(','));
        if (values.size() != 8)
            return cliUsage(name, QStringLiteral("--row %1 must have 8 values "
                                                 "E,S,T,R,EE,ES,ET,ER")
                                          .arg(rows.at(i)));
        list.appendRow(QStringList { QString::number(i + 1) } + values);
    }
    if (rows.size() > std::numeric_limits<qint16>::max())
        return cliFail(CliExit::kRefused, QStringLiteral("too many rows"));
    if (args.has(QStringLiteral("send"))) {
        SendSetup setup;
        const int status = SendOptions::read(args, name, &setup);
        if (status != CliExit::kOk)
            return status;
        return SendRunner(setup).sendControl(list);
    }
    const PacketResult result = GetColor().CtrlCommandSend(
            list, qint16(rows.size()), GetColor::allRowNumbers(int(rows.size())));
    return writePacket(result, args.value(QStringLiteral("out")));
}

int runClear(const QStringList &argv)
{
    const QString name = QStringLiteral("clear");
    CliArgs args;
    QString error;
    if (!args.parse(argv, QStringList { "out" } + SendOptions::valueOptions(),
                    SendOptions::switches(), &error))
        return cliUsage(name, error);
    if (!args.positional().isEmpty())
        return cliUsage(name, QStringLiteral("unexpected argument %1").arg(args.positional().first()));
    const int destination = checkDestination(name, args);
    if (destination != CliExit::kOk)
        return destination;
    if (args.has(QStringLiteral("send"))) {
        SendSetup setup;
        const int status = SendOptions::read(args, name, &setup);
        if (status != CliExit::kOk)
            return status;
        return SendRunner(setup).sendClear();
    }
    return writePacket(PacketResult::success(GetColor().ClearScreen()),
                       args.value(QStringLiteral("out")));
}

const CliCommandRegistration kPacket({
        QStringLiteral("packet"),
        QStringLiteral("packet PAGE --size WxH [--screen WxH] [--slot N] [--per-pixel N] [--dither | --threshold] "
                       "(--out FILE | --send [--tcp HOST:PORT ... | --serial PORT "
                       "[--settings LINE]]) [--program-folder DIR]"),
        QStringLiteral(
                "Writes the picture frame packet of a page file, or sends it as \"SendChar\" "
                "does.\n"
                "--size WxH    page size in modules of 16 x 16 LEDs (TextWidth x TextHeight)\n"
                "--screen WxH  sign size in modules (default: the page size; when sending with "
                "BaseSet.ini, its ScreenWidth x ScreenHeight)\n"
                "--slot N      program-list row number; the packet carries slot N + 2 "
                "(default 1)\n"
                "--per-pixel N canvas units per module (default 16, or PerPiex of BaseSet.ini "
                "when sending with it)\n"
                "--dither      pictures become LED colours by an ordered dither (for photos)\n"
                "              instead of each pixel by its own red and green\n"
                "--threshold   each pixel by its own red and green (the default when writing)\n"
                "              Sending with the program folder, \"Pictures\" of its [EditorSet]\n"
                "              (set in the window) decides, as in the window; either option\n"
                "              overrides it.\n"
                "A picture page is placed with its top-left pixel on LED (0, 0).\n"
                "Fields ({time}, {date:FORMAT}, {file:NAME}, {value:NAME}) show their values\n"
                "of this moment, from the program folder (--program-folder DIR, also with\n"
                "--out); a field that cannot be filled is named on stderr and shows as typed\n"
                "or as \"?\".\n")
                + SendOptions::help(),
        runPacket,
});

const CliCommandRegistration kControl({
        QStringLiteral("control"),
        QStringLiteral("control --row E,S,T,R,EE,ES,ET,ER [--row ...] "
                       "(--out FILE | --send [link options])"),
        QStringLiteral("Writes the control packet of the given rows, numbered 1..n in order, "
                       "or sends it as \"SendCtrl\" does.\n"
                       "E effect (0-10), S speed (0-7), T time (0-25), R repeat, and the same "
                       "for the exit.\n")
                + SendOptions::help(),
        runControl,
});

const CliCommandRegistration kClear({
        QStringLiteral("clear"),
        QStringLiteral("clear (--out FILE | --send [--yes] [link options])"),
        QStringLiteral("Writes the clear-screen packet, or sends it after asking \"Are you sure "
                       "to Clear the Screen?\".\n"
                       "--yes         answer OK without asking (without --yes a terminal is "
                       "asked; with no terminal nothing is sent)\n")
                + SendOptions::help(),
        runClear,
});

} // namespace
