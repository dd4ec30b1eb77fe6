#pragma once

#include <QColor>
#include <QList>
#include <QRectF>

class QAbstractButton;
class QPainter;
class QPalette;
class QScrollArea;
class QWidget;

// Keyboard focus on the app's own drawn controls: one look (a two-pixel ring inside the control's
// frame, following its corners, in the theme's accent unless the accent is too faint over what
// the ring covers) and one set of keys (Return and Enter press a focused button, as Space does).
namespace QKFocusRing {

// Whatever the ring covers, it stands at least this far apart from it, so it can be told from
// both the surface it sits on and the control's unfocused look.
inline constexpr double kMinimumContrast = 3.0;

// The room a check box without a label keeps on every side of its indicator to be rung from
// outside it: the ring's two pixels and a gap of two that keeps it apart from the indicator's
// frame line (TamsoExplainRow gives its check box this room).
inline constexpr int kCheckRoom = 4;

// Whether the widget wears its ring: it has the focus and the focus came by keyboard (Tab,
// Backtab or a shortcut mark the window), so a click never rings what it pressed.
bool shows(const QWidget* widget);

// A ring's colour beside `beside` (opaque colours): the accent when it stands kMinimumContrast
// apart from every one, otherwise white or black, whichever stands further from the nearest (a
// filled accent button, the sidebar's gradient, a pale accent on a light window).
QColor ink(const QPalette& palette, const QList<QColor>& beside);
inline QColor ink(const QPalette& palette, const QColor& beside) {
    return ink(palette, QList<QColor>{beside});
}

// The ring inside `frame`, whose corners have `radius`. `under` is what the frame shows where the
// ring runs, unfocused (the control's face); `outside` is what lies past the frame (the surface,
// or a map's neighbouring tiles). Left out, each is the palette's window colour. A ring that one
// colour cannot set apart from both sides is two-toned: an outer band for what lies outside and an
// inner one, three pixels wide, for the face.
void paint(QPainter& painter, const QRectF& frame, qreal radius, const QPalette& palette,
           const QColor& under = QColor(), const QList<QColor>& outside = {});
// The same over a face of more than one colour (a gradient's ends): every one is set apart.
void paint(QPainter& painter, const QRectF& frame, qreal radius, const QPalette& palette,
           const QList<QColor>& under, const QList<QColor>& outside = {});

// Return and Enter click the button while it has the focus, enabled. A QPushButton takes
// Return only as a dialog's default; a switch or a row drawn as a button takes none at all.
// Once watchScrollAreas has run, every plain (not checkable) button takes them without asking.
void pressOnReturn(QAbstractButton* button);

// The widget draws its own ring with paint(), so the watcher leaves it alone: a push button
// painted by the app rather than by Qt's style.
void drawsOwnRing(QWidget* widget);

// From now on, a control with the keyboard focus whose own drawing shows it faintly or not at all
// wears the ring as an overlay that follows it: a scroll area over what it shows (it takes the
// focus so the keys scroll it, but draws nothing to say so), and Qt's standard line edits, text
// edits, check boxes, combo boxes, sliders, spin boxes, push buttons and tool buttons (those of
// its own dialogs) over their frame (the style's own focus look is under 3:1 in one theme or the
// other), set apart from the face the style paints there and, on a default button, covering its
// accent frame line. Item views show a current row
// instead; widgets that call drawsOwnRing are left alone. A control that takes the keyboard focus
// inside scroll areas is also scrolled into view in each of them, and Return and Enter press
// every plain button, as Space does. A scroll area that holds controls Tab reaches is no Tab stop
// of its own. A QScrollArea without an accessible name of its own reads, from its showing on, as
// the page it shows when that has a name, and a screen's page (pageOfItsPlace) as the part
// around it that has one. Once per process; Themed::apply calls it.
void watchScrollAreas();

// The area is a screen's own page, named by where it stands: without a name of its own or of the
// page it shows, assistive technology reads it as its nearest ancestor with a name or a title
// (a screen titles itself), up to its window. QKBuild::plainScroll marks every area it makes so.
void pageOfItsPlace(QScrollArea* area);

} // namespace QKFocusRing
