#include "getcolor.h"

#include "packetformat.h"

#include <vector>

using namespace PacketFormat;

namespace {

bool inRange(int value, int minimum, int maximum)
{
    return value >= minimum && value <= maximum;
}

PacketRefusal outOfRange(const QString &field, int value, int minimum, int maximum, int row = 0)
{
    PacketRefusal r;
    r.kind = PacketRefusal::Kind::OutOfRange;
    r.field = field;
    r.value = QString::number(value);
    r.minimum = minimum;
    r.maximum = maximum;
    r.row = row;
    return r;
}

// A whole decimal number without sign or blanks around it (other than leading/trailing
// blanks), as the list's selectors write them.
bool parseWholeNumber(const QString &text, int *value)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 9)
        return false;
    for (QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    *value = t.toInt();
    return true;
}

void writeEndMarker(QByteArray &packet, int at)
{
    for (int i = 0; i < 4; ++i)
        packet[at + i] = char(kEndMarker[i]);
}

} // namespace

std::optional<PacketRefusal> GetColor::checkPageSize(int TextWidth, int TextHeight, int row)
{
    if (!inRange(TextWidth, 0, kMaxTextWidth))
        return outOfRange(QStringLiteral("TextWidth"), TextWidth, 0, kMaxTextWidth, row);
    if (!inRange(TextHeight, 0, kMaxTextHeight))
        return outOfRange(QStringLiteral("TextHeight"), TextHeight, 0, kMaxTextHeight, row);
    const int modules = TextWidth * TextHeight;
    if (modules > kMaxPageModules)
        return outOfRange(QStringLiteral("TextWidth × TextHeight"), modules, 0, kMaxPageModules,
                          row);
    return std::nullopt;
}

std::optional<PacketRefusal> GetColor::checkPictureSizes(int ScreenWidth, int ScreenHeight,
                                                         int TextWidth, int TextHeight, int row)
{
    if (std::optional<PacketRefusal> page = checkPageSize(TextWidth, TextHeight, row))
        return page;
    if (!inRange(ScreenWidth, 0, kMaxTextWidth))
        return outOfRange(QStringLiteral("ScreenWidth"), ScreenWidth, 0, kMaxTextWidth);
    if (!inRange(ScreenHeight, 0, kMaxTextHeight))
        return outOfRange(QStringLiteral("ScreenHeight"), ScreenHeight, 0, kMaxTextHeight);
    return std::nullopt;
}

PacketResult GetColor::SendPicMod(const PixelSource &PicBox, qint16 ScreenWidth,
                                  qint16 ScreenHeight, qint16 TextWidth, qint16 TextHeight,
                                  qint16 PerPixel, qint16 FileListID) const
{
    Q_UNUSED(PerPixel)
    if (!inRange(FileListID, 0, kMaxFileListId))
        return PacketResult::refused(outOfRange(QStringLiteral("FileListID"), FileListID, 0,
                                                kMaxFileListId));
    if (std::optional<PacketRefusal> refusal =
                checkPictureSizes(ScreenWidth, ScreenHeight, TextWidth, TextHeight))
        return PacketResult::refused(*refusal);

    const int rowBytes = TextWidth * kBytesPerModuleRow;
    const int rows = TextHeight * kModuleLeds;
    const int planeBytes = rowBytes * rows; // TextWidth x TextHeight x 32
    QByteArray packet(Picture::kFixedSize + 2 * planeBytes, '\0');
    packet[0] = char(kPacketStart);
    packet[1] = char(kPictureFrameType);
    packet[Picture::kSlot] = char(FileListID + kSlotOffset);
    packet[Picture::kFlag] = char(0x01);
    packet[Picture::kPageRowBytes] = char(rowBytes);
    packet[Picture::kPageRows] = char(rows);
    packet[Picture::kScreenRowBytes] = char(ScreenWidth * kBytesPerModuleRow);
    packet[Picture::kScreenRows] = char(ScreenHeight * kModuleLeds);

    // Each canvas row is read once and feeds both planes; the bits are the same as reading
    // every pixel once per plane. The last module column is always dark.
    const int columns = TextWidth * kModuleLeds;
    const int litColumns = qMax(0, columns - kModuleLeds);
    std::vector<BgrColor> line(size_t(columns) + 8);
    uchar *red = reinterpret_cast<uchar *>(packet.data()) + Picture::kHeaderSize;
    uchar *green = red + planeBytes;
    for (int row = 0; row < rows; ++row) {
        if (litColumns == 0)
            break;
        PicBox.readRow(row + Picture::kCanvasTopRows, 0, litColumns, line.data());
        const BgrColor *pixel = line.data();
        uchar *redRow = red + row * rowBytes;
        uchar *greenRow = green + row * rowBytes;
        // litColumns is a multiple of 16, so every byte is a whole group of eight LEDs.
        for (int byte = 0; byte < litColumns / 8; ++byte, pixel += 8) {
            uint redBits = 0;
            uint greenBits = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const BgrColor c = pixel[bit];
                redBits = (redBits << 1) | uint(c == LedColor::kRed || c == LedColor::kYellow);
                greenBits = (greenBits << 1) | uint(c == LedColor::kGreen || c == LedColor::kYellow);
            }
            redRow[byte] = uchar(redBits);
            greenRow[byte] = uchar(greenBits);
        }
    }
    writeEndMarker(packet, Picture::kHeaderSize + 2 * planeBytes);
    return PacketResult::success(packet);
}

PacketResult GetColor::CtrlCommandSend(const ControlRowSource &ListView1, qint16 CtrlCount,
                                       const QString &StrRowNum) const
{
    const int n = CtrlCount;
    const int maxRecords = (32767 - Control::kFixedSize + 2) / Control::kRecordSize;
    if (!inRange(n, 0, maxRecords))
        return PacketResult::refused(outOfRange(QStringLiteral("CtrlCount"), n, 0, maxRecords));

    const QStringList fields = StrRowNum.split(QLatin1Char(','));
    const int length = Control::kFixedSize + Control::kRecordSize * n;
    const int lengthField = length - 2;
    QByteArray packet(length, '\0');
    packet[0] = char(kPacketStart);
    packet[1] = char(kControlType);
    packet[Control::kLengthHigh] = char((lengthField & 0xFF00) >> 8);
    packet[Control::kLengthLow] = char(lengthField & 0xFF);

    static const char *const kNames[] = { "Effect", "Speed", "Times", "Repeat",
                                          "EEffect", "ESpeed", "ETime", "ERepeat" };
    for (int j = 0; j < n; ++j) {
        const QString rowField = j < fields.size() ? fields.at(j) : QString();
        int r = 0;
        if (!parseWholeNumber(rowField, &r) || r < 1 || r > ListView1.rowCount()) {
            PacketRefusal refusal;
            refusal.kind = PacketRefusal::Kind::NoSuchRow;
            refusal.value = rowField.trimmed();
            return PacketResult::refused(refusal);
        }
        if (r > kMaxFileListId)
            return PacketResult::refused(
                    outOfRange(QStringLiteral("Row number"), r, 1, kMaxFileListId));

        int v[8];
        for (int c = 0; c < 8; ++c) {
            const QString field = QString::fromLatin1(kNames[c]);
            const QString text = ListView1.cellText(r, ListColumn::Effect + c);
            if (!parseWholeNumber(text, &v[c])) {
                PacketRefusal refusal;
                refusal.kind = PacketRefusal::Kind::NotANumber;
                refusal.field = field;
                refusal.value = text;
                refusal.row = r;
                return PacketResult::refused(refusal);
            }
            if (v[c] > 255)
                return PacketResult::refused(outOfRange(field, v[c], 0, 255, r));
        }
        const int effect = v[0], speed = v[1], times = v[2], repeat = v[3];
        const int eEffect = v[4], eSpeed = v[5], eTime = v[6], eRepeat = v[7];
        if (speed > kMaxSpeed)
            return PacketResult::refused(outOfRange(QStringLiteral("Speed"), speed, 0, kMaxSpeed, r));
        if (eSpeed > kMaxSpeed)
            return PacketResult::refused(
                    outOfRange(QStringLiteral("ESpeed"), eSpeed, 0, kMaxSpeed, r));
        if (times > kMaxTime)
            return PacketResult::refused(outOfRange(QStringLiteral("Times"), times, 0, kMaxTime, r));
        if (eTime > kMaxTime)
            return PacketResult::refused(outOfRange(QStringLiteral("ETime"), eTime, 0, kMaxTime, r));
        const int entryEffect = effect + (speed < Control::kFastSpeed ? 1 : 2);
        if (entryEffect > 255)
            return PacketResult::refused(
                    outOfRange(QStringLiteral("Effect"), effect, 0, 255 - (entryEffect - effect), r));

        uchar *rec = reinterpret_cast<uchar *>(packet.data()) + Control::kHeaderSize
                + Control::kRecordSize * j;
        rec[Control::kSlot] = uchar(r + kSlotOffset);
        rec[Control::kFlag] = 0x01;
        rec[Control::kEntryEffect] = uchar(entryEffect);
        rec[Control::kEntrySpeed] = uchar(1 << speed);
        rec[Control::kEntryTime] = uchar(times * 10 + 1);
        rec[Control::kEntryRepeat] = uchar(repeat);
        rec[Control::kOnes] = rec[Control::kOnes + 1] = rec[Control::kOnes + 2] = 0x01;
        // The "none" exit (0) and the first real exit effect (1) share code 0.
        rec[Control::kExitEffect] = uchar(eEffect == 0 ? 0 : eEffect - 1);
        rec[Control::kExitSpeed] = uchar(1 << eSpeed);
        rec[Control::kExitTime] = uchar(eTime * 10 + 1);
        rec[Control::kExitRepeat] = uchar(eRepeat);
        rec[Control::kExitFlag] = 0x01;
    }
    writeEndMarker(packet, length - 4);
    return PacketResult::success(packet);
}

QByteArray GetColor::ClearScreen() const
{
    QByteArray packet(Clear::kSize, '\0');
    packet[0] = char(kPacketStart);
    packet[1] = char(kClearScreenType);
    packet[Clear::kCommand] = char(0xCC);
    packet[Clear::kCommand + 1] = char(0xEE);
    return packet;
}

QString GetColor::allRowNumbers(int rowCount)
{
    QString numbers;
    for (int i = 1; i <= rowCount; ++i)
        numbers += QString::number(i) + QLatin1Char(',');
    return numbers;
}
