#pragma once

#include "packetassembler.h"
#include "packetdecoder.h"

#include <QImage>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

// What a virtual sign answers to a packet.
enum class SignReply {
    Success,
    Failure,
    Silent, // no answer at all
};

// The state a sign controller keeps: pages by slot, the effect table by slot, both emptied by
// the clear-screen packet. It judges every reassembled packet and, with an output folder,
// shows what it holds as files: slot-N.png per page (one pixel per LED, lit colours on
// black, N the slot byte of the packet), effects.txt, and a line per packet in packets.log.
class VirtualSign
{
public:
    // How the sign answers: as a controller would, failure to everything, or never.
    enum class AnswerMode { Ok, Fail, None };

    explicit VirtualSign(AnswerMode mode = AnswerMode::Ok);

    // Writes the files into `folder`, creating it if needed. False with `error` set when the
    // folder cannot be created or written.
    bool setOutputFolder(const QString &folder, QString *error);

    // Takes one frame of a stream and says what to answer. `via` names the stream in the log
    // ("tcp 127.0.0.1:40312", "pty").
    SignReply take(const PacketAssembler::Frame &frame, const QString &via);

    // Notes a packet begun on `via` whose tail never came: `byteCount` bytes were dropped.
    void dropIncomplete(int byteCount, const QString &via);

    const QMap<int, QImage> &pages() const { return m_pages; }
    const QMap<int, DecodedEffectRecord> &effects() const { return m_effects; }
    const QStringList &log() const { return m_log; }

    // Called with every log line as it is written (the tool prints them).
    std::function<void(const QString &line)> onLog;

    // Problems writing the output files since the last call; "" when none.
    QString takeWriteProblem();

private:
    void record(const QString &type, int length, const QString &slotText, const QString &verdict,
        const QString &via);
    void writePage(int slot, const QImage &image);
    void writeEffects();
    void removePages();
    void writeFile(const QString &name, const QByteArray &bytes);

    AnswerMode m_mode;
    QString m_folder;
    QMap<int, QImage> m_pages;
    QMap<int, DecodedEffectRecord> m_effects;
    QStringList m_log;
    QByteArray m_logFile; // packets.log as found at start, plus this run's lines
    QString m_writeProblem;
};
