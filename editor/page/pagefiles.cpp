#include "pagefiles.h"

#include "pagedocument.h"

#include "atomicfile.h"
#include "localtext.h"
#include "rtfreader.h"
#include "rtfwriter.h"
#include "textencoding.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace Page {

namespace {

// Page files are small; anything larger is not a page and would only exhaust memory.
constexpr qint64 kMaxPageFileBytes = 256 * 1024 * 1024;

FileResult failure(FileResult::Kind kind, const QString &path, const QString &detail)
{
    FileResult r;
    r.kind = kind;
    r.path = path;
    r.detail = detail;
    return r;
}

FileResult success(const QString &path)
{
    FileResult r;
    r.path = path;
    return r;
}

bool readWholeFile(const QString &path, QByteArray *bytes, FileResult *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = failure(FileResult::Kind::CannotRead, path, file.errorString());
        return false;
    }
    if (file.size() > kMaxPageFileBytes) {
        *error = failure(FileResult::Kind::CannotRead, path,
                         QStringLiteral("the file is larger than a page can be"));
        return false;
    }
    *bytes = file.readAll();
    return true;
}

void setRichTextContent(const QByteArray &bytes, QTextDocument *document)
{
    if (looksLikeRtf(bytes)) {
        RtfReader::read(bytes, document);
    } else {
        document->setPlainText(decodeSettingsText(bytes).text);
    }
    setUpDocument(document);
}

QString pictureResourceName(const QString &path)
{
    static int counter = 0;
    return QStringLiteral("vantrel-picture://%1/%2").arg(++counter).arg(QFileInfo(path).fileName());
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
        return localText(language,
                         QStringLiteral("%1 is not a picture that can be shown as a page:\n%2")
                                 .arg(path, detail),
                         QStringLiteral("%1 不是可以作为页面显示的图片：\n%2").arg(path, detail));
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
    const QString name = QFileInfo(path).fileName();
    return name.contains(QLatin1String("RTF")) || name.contains(QLatin1String("rtf"));
}

FileResult loadRichTextFile(const QString &path, QTextDocument *document)
{
    QByteArray bytes;
    FileResult error;
    if (!readWholeFile(path, &bytes, &error))
        return error;
    setRichTextContent(bytes, document);
    return success(path);
}

FileResult loadPictureFile(const QString &path, QTextDocument *document)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QImage image = reader.read();
    if (image.isNull()) {
        if (!QFileInfo::exists(path))
            return failure(FileResult::Kind::CannotRead, path, reader.errorString());
        return failure(FileResult::Kind::NotAPicture, path, reader.errorString());
    }
    document->clear();
    setUpDocument(document);
    const QString name = pictureResourceName(path);
    document->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(image.width());
    format.setHeight(image.height());
    // Top-aligned, so a picture lower than the line's text height still starts at LED row 0.
    format.setVerticalAlignment(QTextCharFormat::AlignTop);
    QTextCursor(document).insertImage(format);
    return success(path);
}

FileResult loadListedPageFile(const QString &path, QTextDocument *document)
{
    return namesRichText(path) ? loadRichTextFile(path, document)
                               : loadPictureFile(path, document);
}

FileResult loadAnyPageFile(const QString &path, QTextDocument *document)
{
    QByteArray bytes;
    FileResult error;
    if (!readWholeFile(path, &bytes, &error))
        return error;
    if (!looksLikeRtf(bytes)) {
        QImageReader probe(path);
        if (probe.canRead())
            return loadPictureFile(path, document);
    }
    setRichTextContent(bytes, document);
    return success(path);
}

FileResult savePageFile(const QString &path, const QTextDocument &document)
{
    QString reason;
    if (!writeFileAtomically(path, RtfWriter::write(document), &reason))
        return failure(FileResult::Kind::CannotWrite, path, reason);
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
