#include "virtualsign.h"

#include "atomicfile.h"
#include "packetformat.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>

using namespace PacketFormat;

namespace {
const QString kLogName = QStringLiteral("packets.log");
const QString kEffectsName = QStringLiteral("effects.txt");

QString pageName(int slot)
{
    return QStringLiteral("slot-%1.png").arg(slot);
}
} // namespace

VirtualSign::VirtualSign(AnswerMode mode)
    : m_mode(mode)
{ }

bool VirtualSign::setOutputFolder(const QString &folder, QString *error)
{
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) {
        *error = QStringLiteral("cannot create the output folder %1").arg(folder);
        return false;
    }
    QFile existing(dir.filePath(kLogName));
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read %1: %2")
                         .arg(existing.fileName(), existing.errorString());
            return false;
        }
        m_logFile = existing.readAll();
    }
    m_folder = dir.absolutePath();
    return true;
}

SignReply VirtualSign::take(const PacketAssembler::Frame &frame, const QString &via)
{
    const int length = int(frame.bytes.size());
    const uchar type = length > 1 ? uchar(frame.bytes.at(1)) : 0;
    QString typeName = QStringLiteral("garbage");
    QString slotText = QStringLiteral("-");
    bool accepted = false;
    QString problem = frame.problem;

    if (frame.valid && type == kPictureFrameType) {
        typeName = QStringLiteral("picture");
        DecodedPicture picture;
        if (decodePicture(frame.bytes, &picture)) {
            slotText = QString::number(picture.slot);
            if (m_mode != AnswerMode::Fail) {
                m_pages.insert(picture.slot, picture.image);
                writePage(picture.slot, picture.image);
            }
            accepted = true;
        } else {
            problem = QStringLiteral("picture cannot be decoded");
        }
    } else if (frame.valid && type == kControlType) {
        typeName = QStringLiteral("control");
        QList<DecodedEffectRecord> records;
        if (decodeControl(frame.bytes, &records)) {
            QStringList numbers;
            for (const DecodedEffectRecord &r : records)
                numbers.append(QString::number(r.slot));
            slotText = numbers.isEmpty() ? QStringLiteral("-") : numbers.join(QLatin1Char(','));
            if (m_mode != AnswerMode::Fail) {
                // A control packet carries the whole table, so it replaces the old one.
                m_effects.clear();
                for (const DecodedEffectRecord &r : records)
                    m_effects.insert(r.slot, r);
                writeEffects();
            }
            accepted = true;
        } else {
            problem = QStringLiteral("control packet cannot be decoded");
        }
    } else if (frame.valid && type == kClearScreenType) {
        typeName = QStringLiteral("clear");
        if (m_mode != AnswerMode::Fail) {
            removePages();
            m_pages.clear();
            m_effects.clear();
            writeEffects();
        }
        accepted = true;
    } else if (length > 1 && uchar(frame.bytes.at(0)) == kPacketStart) {
        if (type == kPictureFrameType)
            typeName = QStringLiteral("picture");
        else if (type == kControlType)
            typeName = QStringLiteral("control");
        else if (type == kClearScreenType)
            typeName = QStringLiteral("clear");
    }

    SignReply reply
        = accepted && m_mode != AnswerMode::Fail ? SignReply::Success : SignReply::Failure;
    QString verdict
        = reply == SignReply::Success ? QStringLiteral("success") : QStringLiteral("failure");
    if (!accepted)
        verdict += QStringLiteral(" (") + problem + QLatin1Char(')');
    else if (m_mode == AnswerMode::Fail)
        verdict += QStringLiteral(" (answering failure to everything)");
    if (m_mode == AnswerMode::None) {
        reply = SignReply::Silent;
        verdict += QStringLiteral(", not answered");
    }
    record(typeName, length, slotText, verdict, via);
    return reply;
}

void VirtualSign::dropIncomplete(int byteCount, const QString &via)
{
    record(QStringLiteral("incomplete"), byteCount, QStringLiteral("-"),
        QStringLiteral("dropped, the rest never came"), via);
}

QString VirtualSign::takeWriteProblem()
{
    QString problem;
    problem.swap(m_writeProblem);
    return problem;
}

void VirtualSign::record(const QString &type, int length, const QString &slotText,
    const QString &verdict, const QString &via)
{
    const QString line = QStringLiteral("%1 %2 %3 slot %4 %5 via %6")
                             .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs), type)
                             .arg(length)
                             .arg(slotText, verdict, via);
    m_log.append(line);
    if (!m_folder.isEmpty()) {
        m_logFile += line.toUtf8() + '\n';
        writeFile(kLogName, m_logFile);
    }
    if (onLog)
        onLog(line);
}

void VirtualSign::writePage(int slot, const QImage &image)
{
    if (m_folder.isEmpty())
        return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        m_writeProblem = QStringLiteral("cannot encode %1 as PNG").arg(pageName(slot));
        return;
    }
    writeFile(pageName(slot), png);
}

void VirtualSign::writeEffects()
{
    if (m_folder.isEmpty())
        return;
    QByteArray text;
    for (const DecodedEffectRecord &r : std::as_const(m_effects)) {
        text += QStringLiteral("slot %1 entry effect %2 speed %3 time %4 repeat %5; "
                               "exit effect %6 speed %7 time %8 repeat %9\n")
                    .arg(r.slot)
                    .arg(r.entryEffect)
                    .arg(r.entrySpeed)
                    .arg(r.entryTime)
                    .arg(r.entryRepeat)
                    .arg(r.exitEffect)
                    .arg(r.exitSpeed)
                    .arg(r.exitTime)
                    .arg(r.exitRepeat)
                    .toUtf8();
    }
    writeFile(kEffectsName, text);
}

void VirtualSign::removePages()
{
    if (m_folder.isEmpty())
        return;
    for (auto it = m_pages.cbegin(); it != m_pages.cend(); ++it)
        QFile::remove(QDir(m_folder).filePath(pageName(it.key())));
}

void VirtualSign::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(m_folder).filePath(name);
    QString reason;
    if (!writeFileAtomically(path, bytes, &reason))
        m_writeProblem = QStringLiteral("cannot write %1: %2").arg(path, reason);
}
