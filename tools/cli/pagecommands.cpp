// render and convert: pages to LED images and between file formats.

#include "cliargs.h"
#include "clicommand.h"
#include "pagepixels.h"
#include "sendsetup.h"

#include "pagedocument.h"
#include "pagefiles.h"
#include "rtfwriter.h"

#include "getcolor.h"
#include "packetdecoder.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QTextDocument>

namespace {

const QString kLanguage = QStringLiteral("English");

int runRender(const QStringList &argv)
{
    const QString name = QStringLiteral("render");
    CliArgs args;
    QString error;
    if (!args.parse(argv, { "size", "per-pixel", "out", "program-folder" }, { "dither" }, &error))
        return cliUsage(name, error);
    if (args.positional().size() != 1 || !args.has(QStringLiteral("out")))
        return cliUsage(name, QStringLiteral("render needs one page file and --out FILE.png"));
    int width = 0, height = 0;
    if (!parseSize(args.value(QStringLiteral("size")), &width, &height))
        return cliUsage(name, QStringLiteral("--size must be WIDTHxHEIGHT in modules, e.g. 8x1"));
    bool ok = true;
    const int perPixel = args.has(QStringLiteral("per-pixel"))
            ? args.value(QStringLiteral("per-pixel")).toInt(&ok)
            : 16;
    if (!ok || perPixel < 1 || perPixel > 32767)
        return cliUsage(name, QStringLiteral("--per-pixel must be a positive whole number"));

    // The image comes from the packet, so a size the packet cannot carry is refused undrawn.
    if (const std::optional<PacketRefusal> r =
                GetColor::checkPictureSizes(width, height, width, height))
        return cliFail(CliExit::kRefused, r->message(kLanguage));

    SendOptions::useProgramFolder(args);
    std::unique_ptr<PixelSource> page = loadPagePixels(args.positional().first(), qint16(width),
                                                       qint16(height), qint16(perPixel), &error,
                                                       args.has(QStringLiteral("dither"))
                                                               ? Page::PictureMode::Dither
                                                               : Page::PictureMode::Threshold);
    if (!page)
        return cliFail(CliExit::kRefused, error);
    // The image is what the picture frame packet carries, decoded back: exactly the sign's view.
    const PacketResult packet = GetColor().SendPicMod(*page, qint16(width), qint16(height),
                                                      qint16(width), qint16(height),
                                                      qint16(perPixel), 1);
    if (!packet.ok)
        return cliFail(CliExit::kRefused, packet.refusal.message(kLanguage));
    DecodedPicture decoded;
    decodePicture(packet.bytes, &decoded);

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    decoded.image.save(&buffer, "PNG");
    if (!writeOutputFile(args.value(QStringLiteral("out")), png, &error))
        return cliFail(CliExit::kRefused, error);
    return CliExit::kOk;
}

enum class Format { Rtf, Html, Text, Unknown };

Format formatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("rtf"))
        return Format::Rtf;
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return Format::Html;
    if (suffix == QLatin1String("txt"))
        return Format::Text;
    return Format::Unknown;
}

int runConvert(const QStringList &argv)
{
    const QString name = QStringLiteral("convert");
    CliArgs args;
    QString error;
    if (!args.parse(argv, {}, {}, &error))
        return cliUsage(name, error);
    if (args.positional().size() != 2)
        return cliUsage(name, QStringLiteral("convert needs an input and an output file"));
    const QString in = args.positional().at(0);
    const QString out = args.positional().at(1);
    const Format inFormat = formatOf(in);
    const Format outFormat = formatOf(out);
    if (inFormat == Format::Unknown || outFormat == Format::Unknown)
        return cliUsage(name, QStringLiteral("files must end in .rtf, .html, .htm or .txt"));

    QTextDocument document;
    Page::setUpDocument(&document);
    if (inFormat == Format::Html) {
        QFile file(in);
        if (!file.open(QIODevice::ReadOnly))
            return cliFail(CliExit::kRefused,
                           QStringLiteral("cannot read %1: %2").arg(in, file.errorString()));
        document.setHtml(QString::fromUtf8(file.readAll()));
        Page::setUpDocument(&document);
    } else {
        const Page::FileResult loaded = Page::loadRichTextFile(in, &document);
        if (!loaded.ok())
            return cliFail(CliExit::kRefused, loaded.message(kLanguage).replace('\n', ' '));
    }

    QByteArray bytes;
    switch (outFormat) {
    case Format::Rtf:
        bytes = RtfWriter::write(document);
        break;
    case Format::Html:
        bytes = document.toHtml().toUtf8();
        break;
    case Format::Text:
        bytes = document.toPlainText().toUtf8();
        break;
    case Format::Unknown:
        break;
    }
    if (!writeOutputFile(out, bytes, &error))
        return cliFail(CliExit::kRefused, error);
    return CliExit::kOk;
}

const CliCommandRegistration kRender({
        QStringLiteral("render"),
        QStringLiteral("render PAGE --size WxH [--per-pixel N] [--dither] [--program-folder DIR] "
                       "--out FILE.png"),
        QStringLiteral("Writes the LED image of a page: (W x 16) x (H x 16) pixels, each exactly\n"
                       "red, green, yellow or black, as the picture frame packet carries it\n"
                       "(the last module column is always dark). PAGE is any page file: RTF,\n"
                       "BMP, PNG, GIF, JPG or plain text. Pictures become LED colours as in the\n"
                       "editor: each pixel by its own red and green (threshold), or with\n"
                       "--dither an ordered dither that keeps the shading of photos.\n"
                       "Fields ({time}, {date:FORMAT}, {file:NAME}, {value:NAME}) show their\n"
                       "values of this moment, from the program folder (--program-folder DIR,\n"
                       "else the one --help names); a field that cannot be filled is named on\n"
                       "stderr and shows as typed or as \"?\"."),
        runRender,
});

const CliCommandRegistration kConvert({
        QStringLiteral("convert"),
        QStringLiteral("convert IN OUT"),
        QStringLiteral("Converts a page between .rtf, .html and .txt, chosen by extension."),
        runConvert,
});

} // namespace
