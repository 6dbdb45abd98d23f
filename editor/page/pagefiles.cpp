#include "pagefiles.h"

#include "pagedocument.h"
#include "picturefile.h"

#include "atomicfile.h"
#include "localtext.h"
#include "rtfreader.h"
#include "rtfwriter.h"
#include "textencoding.h"

#include <QFile>
#include <QFileInfo>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace Page {

namespace {

// Page files are small; anything larger is not a page and would only exhaust memory.
constexpr qint64 kMaxPageFileBytes = 256 * 1024 * 1024;

FileResult success(const QString &path)
{
    FileResult r;
    r.path = path;
    return r;
}

bool readWholeFile(const QString &path, QByteArray *bytes, FileResult *error)
{
    QString reason;
    if (!isPlainFile(path, &reason)) {
        *error = FileResult::failure(FileResult::Kind::CannotRead, path, reason);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = FileResult::failure(FileResult::Kind::CannotRead, path, file.errorString());
        return false;
    }
    if (file.size() > kMaxPageFileBytes) {
        *error = FileResult::failure(FileResult::Kind::CannotRead, path,
            QStringLiteral("the file is larger than a page can be"));
        return false;
    }
    *bytes = file.readAll();
    return true;
}

void setRichTextContent(const QByteArray &bytes, QTextDocument *document, PictureMode pictures)
{
    if (looksLikeRtf(bytes)) {
        RtfReader::read(bytes, document);
        convertDocumentPictures(document, pictures);
    } else {
        document->setPlainText(decodeSettingsText(bytes).text);
    }
    setUpDocument(document);
}

// Names that promise a picture: read as one (and refused when they are none), never as text.
bool namesPicture(const QString &path)
{
    static const QStringList kSuffixes { QStringLiteral("bmp"), QStringLiteral("jpg"),
        QStringLiteral("jpeg"), QStringLiteral("gif"), QStringLiteral("png"), QStringLiteral("svg"),
        QStringLiteral("svgz") };
    return kSuffixes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive);
}

} // namespace

QString FileResult::message(const QString &language) const
{
    switch (kind) {
    case Kind::Ok:
        return {};
    case Kind::CannotRead:
        return localText(language,
            QStringLiteral("Cannot open the page file %1:\n%2").arg(path, detail),
            QStringLiteral("无法打开页面文件 %1：\n%2").arg(path, detail));
    case Kind::NotAPicture:
        if (detail.isEmpty()) // told by content, whatever the name says
            return localText(language,
                QStringLiteral("%1 is not a picture that can be shown as a page: its content "
                               "is not BMP, JPEG, GIF or PNG. The page keeps what it had.")
                    .arg(path),
                QStringLiteral("%1 不是可以作为页面显示的图片：其内容不是 BMP、JPEG、GIF 或 "
                               "PNG。页面保持原样。")
                    .arg(path));
        return localText(language,
            QStringLiteral("%1 is not a picture that can be shown as a page:\n%2")
                .arg(path, detail),
            QStringLiteral("%1 不是可以作为页面显示的图片：\n%2").arg(path, detail));
    case Kind::PictureDamaged:
        return localText(language,
            QStringLiteral("The picture %1 is damaged or cut short, so it was not "
                           "placed; the page keeps what it had.")
                .arg(path),
            QStringLiteral("图片 %1 已损坏或不完整，未放置；页面保持原样。").arg(path));
    case Kind::PictureTooLarge:
        return localText(language,
            QStringLiteral("The picture %1 claims %2 pixels; a picture on a page may "
                           "have at most %3 pixels a side and %4 megapixels. It was "
                           "not placed; the page keeps what it had.")
                .arg(path, detail)
                .arg(kMaxPictureSide)
                .arg(kMaxPicturePixels / (1024 * 1024)),
            QStringLiteral("图片 %1 声称有 %2 像素；页面上的图片每边最多 %3 像素，"
                           "总共最多 %4 百万像素。图片未放置；页面保持原样。")
                .arg(path, detail)
                .arg(kMaxPictureSide)
                .arg(kMaxPicturePixels / (1024 * 1024)));
    case Kind::CannotWrite:
        return localText(language,
            QStringLiteral("Cannot save the page to %1:\n%2\nThe previous file, if "
                           "any, is unchanged.")
                .arg(path, detail),
            QStringLiteral("无法将页面保存到 %1：\n%2\n原有文件（如有）保持不变。")
                .arg(path, detail));
    }
    return {};
}

bool namesRichText(const QString &path)
{
    return path.endsWith(QLatin1String(".rtf"), Qt::CaseInsensitive);
}

FileResult loadRichTextFile(const QString &path, QTextDocument *document, PictureMode pictures)
{
    QByteArray bytes;
    FileResult error;
    if (!readWholeFile(path, &bytes, &error))
        return error;
    setRichTextContent(bytes, document, pictures);
    return success(path);
}

FileResult loadPictureFile(const QString &path, QTextDocument *document, PictureMode pictures)
{
    QImage image;
    const FileResult read = readPictureFile(path, &image);
    if (!read.ok())
        return read;
    document->clear();
    setUpDocument(document);
    QTextCursor cursor(document);
    // Top-aligned, so a picture lower than the line's text height still starts at LED row 0.
    placePicture(cursor, image, pictures, QFileInfo(path).fileName(), true);
    return success(path);
}

FileResult loadListedPageFile(const QString &path, QTextDocument *document, PictureMode pictures)
{
    return namesRichText(path) ? loadRichTextFile(path, document, pictures)
                               : loadPictureFile(path, document, pictures);
}

FileResult loadAnyPageFile(const QString &path, QTextDocument *document, PictureMode pictures)
{
    QByteArray bytes;
    FileResult error;
    if (!readWholeFile(path, &bytes, &error))
        return error;
    if (!looksLikeRtf(bytes) && (looksLikePicture(bytes) || namesPicture(path)))
        return loadPictureFile(path, document, pictures);
    setRichTextContent(bytes, document, pictures);
    return success(path);
}

FileResult savePageFile(const QString &path, const QTextDocument &document)
{
    QString reason;
    if (!writeFileAtomically(path, RtfWriter::write(document), &reason))
        return FileResult::failure(FileResult::Kind::CannotWrite, path, reason);
    return success(path);
}

QString withRtfSuffix(const QString &name)
{
    return name.endsWith(QLatin1String(".rtf"), Qt::CaseSensitive) ? name
                                                                   : name + QLatin1String(".rtf");
}

QString withTxtSuffix(const QString &name)
{
    return name.endsWith(QLatin1String(".txt"), Qt::CaseSensitive) ? name
                                                                   : name + QLatin1String(".txt");
}

} // namespace Page
