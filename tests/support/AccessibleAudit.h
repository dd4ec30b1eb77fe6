#pragma once

// What assistive technology would find wrong on a screen, read the way a screen reader reads it:
// through the QAccessible tree, not the widget tree. Only for widget test programs.

#include <QStringList>

class QAbstractButton;
class QAccessibleInterface;
class QImage;
class QWidget;

namespace testsupport {

// Walks the accessible tree under root (root included), skipping whatever is hidden, and returns
// one line per fault:
//   - a control a user can operate (button, check box, radio button, tab, combo box, slider,
//     spin box, link, menu item, text field) without a name;
//   - an element that takes the keyboard focus or offers an action but has no role that says
//     what it is (Qt's unnamed "client" or "filler"), scroll areas aside;
//   - a text on screen (a label, a kit line or clamped text, a button's caption) whose element
//     exposes neither a name nor a text interface with that text.
// Rows of item views (lists, tables, trees) are not walked: their model and delegate describe them.
// Each line names the element by class and object name, e.g.
// "QPushButton#backButton (PushButton): control without a name".
QStringList accessibilityProblems(QWidget* root);

// What a keyboard or screen-reader user meets wrongly in the scroll areas under root (root
// included, hidden ones left out), one line per fault:
//   - a scroll area that Tab stops at although it holds controls Tab reaches: a stop that says
//     and does nothing before its first control;
//   - a scroll area without an accessible name, which a reader announces as a bare pane; the
//     line ends "in a screen without one" when nothing around it up to its window is named
//     or titled either.
// Item views and text editors are left out: they are lists and fields, named as such.
// Each line names the area by class and object name, or by its nearest named ancestor.
QStringList scrollAreaProblems(QWidget* root);

// Every name and text that assistive technology reads under root, in tree order (hidden parts
// left out), for tests that look for one.
QStringList accessibleTexts(QWidget* root);

// The first element under root whose name is name (hidden parts left out), or null.
QAccessibleInterface* findAccessible(QWidget* root, const QString& name);

// What a click on the button does that its accessible actions or its keys do not, one line per
// fault, e.g. "accessible \"Toggle\" does not click it":
//   - a click is heard (the button's or its group's clicked, pressed or released has a listener)
//     but an accessible action does not click it, or the button is checkable and an action
//     changes nothing;
//   - a click does something but the button offers no accessible action at all;
//   - it takes the focus by Tab, a click does something, but Space does not click it, or it is a
//     plain (not checkable) button and Return does not.
// Each way is tried for real on the button, with its own signals blocked and the button lent to a
// stand-in group whose signals tell what was emitted, so no listener of the screen runs; its
// checked state, down state, group and the focus are put back. Buttons that open a menu are
// left alone, since a menu runs an event loop of its own.
QStringList buttonProblems(QAbstractButton* button);

// How many pixels of `focused` stand apart from the same pixel of `plain` (the control drawn
// unfocused, at the same size) by a contrast of at least `ratio`. A focus indicator is drawn over
// what the control shows unfocused, so this is its area that is told from both the surface it
// sits on and the unfocused look.
int pixelsAtContrast(const QImage& plain, const QImage& focused, double ratio);

// How a focus indicator stands against the colours beside it. Its pixels are those of `focused`
// that stand `ratio` apart from the same pixel of `plain` (the same region, with a margin of what
// surrounds the control, drawn unfocused); the colours beside it are the pixels the focus left
// as they were, within two pixels (a blended edge pixel of the indicator is neither). Of its
// pixels that touch such a colour, `seen` stand `ratio` apart from every one they touch and
// `faint` from some not: a ring in the accent over an accent fill is faint on its inner side, a
// black ring on a near-black window on its outer side.
struct RingSides {
    int seen = 0;
    int faint = 0;
};
RingSides ringSides(const QImage& plain, const QImage& focused, double ratio);

// ringSides at 3:1 for the ring `control` wears when Tab reaches it, measured on its window with
// three pixels of what surrounds it, against the same place while `elsewhere` has the focus.
// Nothing seen when the control does not take the focus. The window must be active.
RingSides ringAsTabShowsIt(QWidget* control, QWidget* elsewhere);

} // namespace testsupport
