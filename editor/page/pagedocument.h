#pragma once

#include <QColor>
#include <QFont>

class QPaintDevice;
class QTextDocument;

// A page is a rich-text document laid out on a canvas of the sign's size, one canvas unit per
// LED. These are the conventions every page document follows, in the editor and when a page
// is rendered for the sign.
namespace Page {

// The three colours the sign lights; any other colour is dark.
inline QColor ledRed() { return QColor(255, 0, 0); }
inline QColor ledGreen() { return QColor(0, 255, 0); }
inline QColor ledYellow() { return QColor(255, 255, 0); }

// Background of a page that has none of its own: black looks like an unlit sign and is not a
// lit colour.
inline QColor defaultBackground() { return QColor(0, 0, 0); }

// Text that carries no colour of its own is drawn in this colour: typing starts red too.
inline QColor defaultTextColor() { return ledRed(); }

// The sign skips the two top canvas rows, so the page content starts below them.
constexpr int kTopMargin = 2;

// "Times New Roman" 12 pt, drawn without anti-aliasing so every text pixel is exactly its
// colour. 12 pt is 16 pixels: the layout runs at 96 dots per inch whatever the screen.
QFont defaultFont();

// A paint device of 96 dots per inch that lays out every page, so a page breaks its lines
// the same on every screen and in the sign's rendering.
QPaintDevice *layoutDevice();

// Gives `document` the page conventions: default font, margins (2 units at the top, none
// elsewhere) and the 96-dpi layout. Call once on every page document, before loading.
void setUpDocument(QTextDocument *document);

// The Chinese font that stays legible without anti-aliasing: where a page's own font lacks
// a character, it comes from this one.
QString chineseFontFamily();

// Fonts that pages name and this machine may lack: the metric-compatible stand-ins and the
// Chinese font that stays legible without anti-aliasing. Called once per process.
void installFontSubstitutions();

// The page background: the root frame's background colour, or defaultBackground().
QColor background(const QTextDocument &document);
void setBackground(QTextDocument *document, const QColor &color);

} // namespace Page
