// packet, control and clear: write the three sign packets to files.

#include "cliargs.h"
#include "clicommand.h"
#include "pagepixels.h"

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

int writePacket(const PacketResult &result, const QString &out)
{
    if (!result.ok)
        return cliFail(CliExit::kRefused, result.refusal.message(kLanguage));
    QString error;
    if (!writeFileAtomically(out, result.bytes, &error))
        return cliFail(CliExit::kRefused, error);
    return CliExit::kOk;
}

int runPacket(const QStringList &argv)
{
    const QString name = QStringLiteral("packet");
    CliArgs args;
    QString error;
    if (!args.parse(argv, { "size", "screen", "slot", "out", "per-pixel" }, {}, &error))
        return cliUsage(name, error);
    if (args.positional().size() != 1)
        return cliUsage(name, QStringLiteral("packet needs exactly one page file"));
    if (!args.has(QStringLiteral("out")))
        return cliUsage(name, QStringLiteral("packet needs --out FILE"));
    int textWidth = 0, textHeight = 0;
    if (!parseSize(args.value(QStringLiteral("size")), &textWidth, &textHeight))
        return cliUsage(name, QStringLiteral("--size must be WIDTHxHEIGHT in modules, e.g. 8x1"));
    int screenWidth = textWidth, screenHeight = textHeight;
    if (args.has(QStringLiteral("screen"))
        && !parseSize(args.value(QStringLiteral("screen")), &screenWidth, &screenHeight))
        return cliUsage(name, QStringLiteral("--screen must be WIDTHxHEIGHT in modules"));
    qint16 slot = 1;
    if (args.has(QStringLiteral("slot")) && !parseInt16(args.value(QStringLiteral("slot")), &slot))
        return cliUsage(name, QStringLiteral("--slot must be a whole number"));
    qint16 perPixel = 16;
    if (args.has(QStringLiteral("per-pixel"))
        && (!parseInt16(args.value(QStringLiteral("per-pixel")), &perPixel) || perPixel < 1))
        return cliUsage(name, QStringLiteral("--per-pixel must be a positive whole number"));

    std::unique_ptr<PixelSource> page = loadPagePixels(args.positional().first(),
                                                       qint16(textWidth), qint16(textHeight),
                                                       perPixel, &error);
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
    if (!args.parse(argv, { "row", "out" }, {}, &error))
        return cliUsage(name, error);
    if (!args.positional().isEmpty())
        return cliUsage(name, QStringLiteral("unexpected argument %1").arg(args.positional().first()));
    if (!args.has(QStringLiteral("out")))
        return cliUsage(name, QStringLiteral("control needs --out FILE"));
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
    const PacketResult result = GetColor().CtrlCommandSend(
            list, qint16(rows.size()), GetColor::allRowNumbers(int(rows.size())));
    return writePacket(result, args.value(QStringLiteral("out")));
}

int runClear(const QStringList &argv)
{
    const QString name = QStringLiteral("clear");
    CliArgs args;
    QString error;
    if (!args.parse(argv, { "out" }, {}, &error))
        return cliUsage(name, error);
    if (!args.positional().isEmpty() || !args.has(QStringLiteral("out")))
        return cliUsage(name, QStringLiteral("clear needs --out FILE and nothing else"));
    return writePacket(PacketResult::success(GetColor().ClearScreen()),
                       args.value(QStringLiteral("out")));
}

const CliCommandRegistration kPacket({
        QStringLiteral("packet"),
        QStringLiteral("packet PAGE --size WxH [--screen WxH] [--slot N] [--per-pixel N] "
                       "--out FILE"),
        QStringLiteral(
                "Writes the picture frame packet of a page file.\n"
                "--size WxH    page size in modules of 16 x 16 LEDs (TextWidth x TextHeight)\n"
                "--screen WxH  sign size in modules (default: the page size)\n"
                "--slot N      program-list row number; the packet carries slot N + 2 "
                "(default 1)\n"
                "--per-pixel N canvas units per module (default 16)\n"
                "A picture page is placed with its top-left pixel on LED (0, 0)."),
        runPacket,
});

const CliCommandRegistration kControl({
        QStringLiteral("control"),
        QStringLiteral("control --row E,S,T,R,EE,ES,ET,ER [--row ...] --out FILE"),
        QStringLiteral("Writes the control packet of the given rows, numbered 1..n in order.\n"
                       "E effect (0-10), S speed (0-7), T time (0-25), R repeat, and the same "
                       "for the exit."),
        runControl,
});

const CliCommandRegistration kClear({
        QStringLiteral("clear"),
        QStringLiteral("clear --out FILE"),
        QStringLiteral("Writes the clear-screen packet."),
        runClear,
});

} // namespace
