#pragma once

// What assistive technology would find wrong on a screen, read the way a screen reader reads it:
// through the QAccessible tree, not the widget tree. Only for widget test programs.

#include "support/FocusRingMeasure.h"

#include <QStringList>

class QAbstractButton;
class QAccessibleInterface;
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

// How the lines above name an element: its class and object name (or its nearest named
// ancestor's), then its role, e.g. "QPushButton#backButton (PushButton)".
QString describeAccessible(QAccessibleInterface* iface);

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
// left alone, since a menu runs an event loop of its own. (ButtonProbe.cpp)
QStringList buttonProblems(QAbstractButton* button);

} // namespace testsupport
