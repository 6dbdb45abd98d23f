#pragma once

#include <QImage>
#include <QString>

class QTextCursor;
class QTextDocument;

// Pictures in the sign's colours. Every LED has a red and a green element, so a picture on a
// page is reduced to four states: dark, red, green and yellow (both). The red element lights
// where a pixel's red is bright enough, the green element where its green is: white becomes
// yellow, blue and transparent pixels dark. Pixels already in an LED colour stay as they are,
// so converting a converted picture changes nothing.
namespace Page {

enum class PictureMode {
    Threshold, // each pixel on its own: crisp logos and lettering
    Dither, // an ordered 8 x 8 dither that keeps the shading of photos
};

// A channel at or above this level lights its element in Threshold mode (0..255).
constexpr int kLitLevel = 128;

// The picture in LED colours: Format_RGB32, every pixel exactly 0x000000, 0xFF0000, 0x00FF00
// or 0xFFFF00. Alpha counts as darkness (a pixel is judged as if drawn over black). The same
// picture always gives the same result; a dithered pixel depends on its position only.
QImage toLedColours(const QImage &picture, PictureMode mode);

// Whether every pixel is one of the four LED states.
bool isInLedColours(const QImage &image);

// Converts `picture` and inserts it at `cursor` at its own size, one picture pixel per LED.
// `hint` (a file name or "") only makes the picture's resource name readable.
void placePicture(QTextCursor &cursor, const QImage &picture, PictureMode mode,
                  const QString &hint = QString(), bool alignTop = false);

// Converts every picture the document holds (the pictures of an RTF page as read).
void convertDocumentPictures(QTextDocument *document, PictureMode mode);

} // namespace Page
