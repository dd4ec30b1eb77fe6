#pragma once

#include <QColor>
#include <QPalette>
#include <QStringView>

// Colours shared by every screen.
namespace Color {

// A colour from a hexadecimal text such as "2457D6", read the way a hexadecimal number scanner
// reads it: leading white space is skipped, an optional "0x"/"0X" prefix is accepted, then the
// longest run of hex digits is taken (anything after it is ignored). A text that does not start
// with a hex number gives 0, so "#2457D6" is black. A number too large for 64 bits saturates to
// all ones (white). Red, green and blue are bits 16–23, 8–15 and 0–7; higher bits are ignored.
// The result is opaque sRGB.
QColor hex(QStringView text);

// The brand gradient of the main window's sidebar; each made once.
const QColor& brandBlue();      // hex "2457D6"
const QColor& brandBlueLight(); // hex "316FE7"
const QColor& brandIndigo();    // hex "5A48D8"
// White at 18 %: the selected sidebar row.
const QColor& softWhite();

// Colours that follow the appearance: taken from the palette in force (the application's, or a
// widget's own for a part drawn in a fixed scheme).
QColor appWindowBackground(const QPalette& palette);
QColor appWindowBackground();               // of the application palette
QColor cardFill(const QPalette& palette);   // the card surface
QColor cardStroke(const QPalette& palette); // primary text at 9 %: the card's hairline

// The named colours of the interface, each in a light and a dark variant tuned for legible text
// on the matching window background.
enum class SystemColor { Blue, Purple, Green, Orange, Pink, Teal, Red };
QColor system(SystemColor color, bool dark);

// True when the palette's window background is dark.
bool isDark(const QPalette& palette);

// The relative luminance of an opaque sRGB colour, 0 for black to 1 for white, and the contrast
// ratio of two colours, from 1:1 (the same) to 21:1 (black on white), as accessibility guidelines
// measure them. Alpha is ignored: blend a translucent colour over its background first.
double luminance(const QColor& color);
double contrast(const QColor& a, const QColor& b);
// A colour laid over an opaque one, as it shows: `top` at its alpha over `bottom`.
QColor over(const QColor& top, const QColor& bottom);

} // namespace Color
