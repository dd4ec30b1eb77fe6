#pragma once

#include <QRectF>

class QAbstractButton;
class QPainter;
class QPalette;
class QWidget;

// Keyboard focus on the app's own drawn controls: one look (a ring of the theme's accent inside
// the control's frame, following its corners) and one set of keys (Return and Enter press a
// focused button, as Space does).
namespace QKFocusRing {

// Whether the widget wears its ring: it has the focus and the focus came by keyboard (Tab,
// Backtab or a shortcut mark the window), so a click never rings what it pressed.
bool shows(const QWidget* widget);

// The ring inside `frame`, whose corners have `radius`.
void paint(QPainter& painter, const QRectF& frame, qreal radius, const QPalette& palette);

// Return and Enter click the button while it has the focus, enabled. A QPushButton takes
// Return only as a dialog's default; a switch or a row drawn as a button takes none at all.
void pressOnReturn(QAbstractButton* button);

// From now on, a scroll area with the keyboard focus wears the ring over what it shows: it takes
// the focus so the keys scroll it, but draws nothing to say so. Item views and text fields are
// left alone (they show a current row or a cursor). Once per process; Themed::apply calls it.
void watchScrollAreas();

} // namespace QKFocusRing
