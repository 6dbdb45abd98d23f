#pragma once

#include <cstdint>

// The byte layout of the packets the sign controller takes. Every packet starts with
// kPacketStart and its type byte; multi-byte values are written byte by byte.
namespace PacketFormat {

constexpr std::uint8_t kPacketStart = 0x02;
constexpr std::uint8_t kPictureFrameType = 0x33;
constexpr std::uint8_t kControlType = 0x34;
constexpr std::uint8_t kClearScreenType = 0x35;

// End marker of picture frame and control packets.
constexpr std::uint8_t kEndMarker[4] = { 0xFF, 0x03, 0x00, 0x00 };

// LEDs per module side; a module is 16 x 16 LEDs and 2 bytes of a plane row.
constexpr int kModuleLeds = 16;
constexpr int kBytesPerModuleRow = 2;

// Slots (page numbers on the sign) are sent as the 1-based row number plus this offset.
constexpr int kSlotOffset = 2;

// Picture frame packet (type 0x33).
namespace Picture {
constexpr int kSlot = 4; // FileListID + 2
constexpr int kFlag = 5; // always 0x01
constexpr int kPageRowBytes = 11; // TextWidth x 2
constexpr int kPageRows = 12; // TextHeight x 16
constexpr int kScreenRowBytes = 15; // ScreenWidth x 2
constexpr int kScreenRows = 16; // ScreenHeight x 16
constexpr int kHeaderSize = 17; // the red plane starts here
constexpr int kFixedSize = 21; // header plus end marker
// Canvas rows above the sampled area; LED row 0 is canvas row 2.
constexpr int kCanvasTopRows = 2;
} // namespace Picture

// Control packet (type 0x34): header, 32-byte records, 15 zero bytes, end marker.
namespace Control {
constexpr int kLengthHigh = 2; // L = packet length - 2, high byte first
constexpr int kLengthLow = 3;
constexpr int kHeaderSize = 17;
constexpr int kRecordSize = 32;
constexpr int kTrailerZeros = 15;
constexpr int kFixedSize = 36;
// Offsets inside a record.
constexpr int kSlot = 15;
constexpr int kFlag = 16;
constexpr int kEntryEffect = 17;
constexpr int kEntrySpeed = 18;
constexpr int kEntryTime = 19;
constexpr int kEntryRepeat = 20;
constexpr int kOnes = 22; // 22..24 are 0x01
constexpr int kExitEffect = 25;
constexpr int kExitSpeed = 26;
constexpr int kExitTime = 27;
constexpr int kExitRepeat = 28;
constexpr int kExitFlag = 29;
// An entry speed at or above this uses the second entry-effect code.
constexpr int kFastSpeed = 7;
} // namespace Control

// Clear-screen packet (type 0x35): fixed 19 bytes.
namespace Clear {
constexpr int kSize = 19;
constexpr int kCommand = 15; // 0xCC 0xEE follow the 13 zero bytes
} // namespace Clear

// Answers of the sign.
namespace Answer {
constexpr std::uint8_t kSerialSuccess = 0xAA; // decimal text "170"
constexpr std::uint8_t kSerialFailure = 0xDD; // decimal text "221"
constexpr int kTcpVerdictIndex = 3;
constexpr std::uint8_t kTcpSuccess = 0x88;
constexpr std::uint8_t kTcpFailure = 0xEE;
constexpr int kTcpAnswerSize = 4; // 02 00 00 verdict
} // namespace Answer

} // namespace PacketFormat
