#pragma once

// What assistive technology would find wrong on a screen, read the way a screen reader reads it:
// through the QAccessible tree, not the widget tree. Only for widget test programs.

#include <QStringList>

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

// Every name and text that assistive technology reads under root, in tree order (hidden parts
// left out), for tests that look for one.
QStringList accessibleTexts(QWidget* root);

// The first element under root whose name is name (hidden parts left out), or null.
QAccessibleInterface* findAccessible(QWidget* root, const QString& name);

} // namespace testsupport
