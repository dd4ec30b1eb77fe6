#pragma once

// What the kit's self-painted controls tell assistive technology. Qt describes a QWidget it does
// not know as an unnamed filler, and a QAbstractButton subclass as a push button whose "Toggle"
// action calls toggle(), which emits toggled() but never clicked(): a row that listens to
// clicked() would show a switch turned while its service heard nothing. The kit's own
// descriptions fix both:
//
// - ToggleSwitch: a check box with its checked state; "Press" and "Toggle" both click it, so an
//   assistive turn is the same user action as a mouse click (clicked() and toggled() fire).
// - SegmentedControl: a group with one radio button per segment (its label, checked when it is
//   the current one, a "Press" action that activates it as a click would).
// - QKLineLabel and QKClampedText: static text whose name is the full text (not the cut one),
//   with a text interface over that text.
// - QKRowList: a list with one item per row of its model (the model's accessible text and
//   description, its check state), whose actions are the buttons the row's stamp draws, named as
//   the buttons are ("Pin", "Reveal"): Qt's own list items offer only a "Toggle" that selects
//   the row, so a drawn button would be out of reach.
// - A plain QListView marked with setRowList: read as QKRowList's rows are, its delegate's
//   buttons (QKRowActions) as each row's actions.
//
// The widgets install the description themselves on construction; install() is idempotent.
//
// setRole gives any other plain widget (a panel, a chart, a row read as one) the role it plays;
// its name is its accessibleName.
//
// setChoice describes a checkable button that stands for one choice among several (a section of
// the sidebar, an accent colour, the copy to keep) as `role`: a page tab or list item reads its
// checked state as selected, a radio button as checked. Its one action, "Press", clicks it: Qt's
// "Toggle" would flip the checked state without the click its owner acts on, so a reader could
// show a choice made that nothing heard.

#include <QAccessible>

class QAbstractButton;
class QListView;
class QWidget;

namespace QKAccessible {

void install();
void setRole(QWidget* widget, QAccessible::Role role);
void setChoice(QAbstractButton* button, QAccessible::Role role);
void setRowList(QListView* view);

} // namespace QKAccessible
