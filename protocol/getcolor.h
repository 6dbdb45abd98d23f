#pragma once

#include "packetresult.h"
#include "pixelsource.h"
#include "rowsource.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Builds the packets the sign controller takes. Holds no state; every value written into a
// packet is range-checked, and a value that does not fit refuses the whole packet.
class GetColor
{
public:
    // Limits that follow from the one-byte header fields and the 16-bit length.
    static constexpr int kMaxTextWidth = 127; // x 2 must fit a byte
    static constexpr int kMaxTextHeight = 15; // x 16 must fit a byte
    static constexpr int kMaxFileListId = 253; // + 2 must fit a byte
    static constexpr int kMaxPageModules = 511; // 21 + 64 x W x H must fit 16 bits
    static constexpr int kMaxSpeed = 7; // 2^speed must fit a byte
    static constexpr int kMaxTime = 25; // time x 10 + 1 must fit a byte

    // The sizes of a picture frame packet, checked before a page is drawn for it: the page
    // (TextWidth 0..127, TextHeight 0..15, their product at most 511) and the sign
    // (ScreenWidth 0..127, ScreenHeight 0..15), in modules. Empty when SendPicMod takes them,
    // else the first size that does not fit. `row` (1-based, 0 for none) names the row.
    static std::optional<PacketRefusal> checkPageSize(int TextWidth, int TextHeight, int row = 0);
    static std::optional<PacketRefusal> checkPictureSizes(
        int ScreenWidth, int ScreenHeight, int TextWidth, int TextHeight, int row = 0);

    // The picture frame packet of a rendered page: 17-byte header, red plane, green plane,
    // end marker; 21 + 64 x TextWidth x TextHeight bytes.
    //   PicBox: the page canvas, one pixel per LED; LED row 0 is canvas row 2.
    //   ScreenWidth, ScreenHeight: the sign size in modules (0..127, 0..15), header only.
    //   TextWidth, TextHeight: the page size in modules (0..127, 0..15, product <= 511); they
    //     set the sampled area. The rightmost module column is always sent dark.
    //   PerPixel: accepted for the caller's convenience; one canvas pixel is one LED.
    //   FileListID: the 1-based program-list row (0..253), sent as slot FileListID + 2.
    PacketResult SendPicMod(const PixelSource &PicBox, qint16 ScreenWidth, qint16 ScreenHeight,
        qint16 TextWidth, qint16 TextHeight, qint16 PerPixel, qint16 FileListID) const;

    // The control packet: one 32-byte effect record per listed row, 32 x CtrlCount + 36
    // bytes. StrRowNum holds the row numbers separated by ","; its first CtrlCount fields
    // are used, a trailing "," and further fields are ignored.
    PacketResult CtrlCommandSend(
        const ControlRowSource &ListView1, qint16 CtrlCount, const QString &StrRowNum) const;

    // The fixed 19-byte clear-screen packet.
    QByteArray ClearScreen() const;

    // "1,2,...,n," : every row of an n-row list, in list order.
    static QString allRowNumbers(int rowCount);
};
