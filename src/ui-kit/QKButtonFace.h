#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRectF>
#include <QSize>

class QPainter;

// What the kit's push buttons share, so a bordered button and a filled one standing side by side
// are the same height and carry the same side padding at every text size.
namespace QKButtonFace {

// Padding of the label inside the frame; small buttons suit strips and list rows.
int paddingX(bool small);
int paddingY(bool small);
qreal radius(bool small);

// The frame around a label of `labelWidth` in `font`. The height depends on the font's size and
// family only, never its weight, so a medium-weight button and a regular one of one text style
// line up.
QSize frameFor(const QFont& font, int labelWidth, bool small);

// What a bordered face shows in a given state.
struct State {
    bool enabled = true;
    bool down = false;
    bool hovered = false;
    bool focusRing = false; // keyboard focus only: a click does not ring a button
};

// The one bordered look for secondary actions: the card colour with a hairline of the primary
// text colour, a slightly deeper fill under the pointer and while pressed, and a ring of the
// accent for keyboard focus. Returns the ink for the label (primary text, faded when disabled).
QColor paintBordered(QPainter& painter, const QRectF& frame, const QPalette& palette,
                     const State& state, qreal radius);

} // namespace QKButtonFace
