#pragma once

#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"

#include <optional>
#include <QMargins>
#include <QString>
#include <QWidget>

class QKLineLabel;
class QKProminentButton;
class QLabel;
class QLayout;
class QHBoxLayout;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

// Small builders that every screen uses, so the same kinds of text, buttons and pages look the
// same everywhere.
namespace QKBuild {

// A plain-text label in a text style and colour; wrapped labels break between words and take
// the height their width needs.
QLabel* label(const QString& text, TextStyle style, QKForeground::Style tone, QWidget* parent,
              std::optional<QFont::Weight> weight = std::nullopt, bool wrap = true);

// A single-line figure (a value that updates in place) with digits of equal width.
QKLineLabel* figure(TextStyle style, QFont::Weight weight, QKForeground::Style tone,
                    QWidget* parent);

// A bordered button for a secondary action (QKBorderedButton); small ones match a small
// prominent button beside them.
QPushButton* button(const QString& text, bool small, QWidget* parent);

// Appends one card of a hub's tile grid to `grid`: the title with its icon in headline size,
// the text in caption size and secondary colour, and a small prominent button, all
// leading-aligned in a group box. Returns the button; the card belongs to `parent`. A screen
// that rewrites the text later gets its label through `textOut`. The button's accessible name
// says what it acts on: "Open Disk Map", or the title alone when it begins with the button's word
// ("Browse" on "Browse storage").
QKProminentButton* addTile(QLayout* grid, const QString& icon, const QString& title,
                           const QString& text, const QString& button, QWidget* parent,
                           QLabel** textOut = nullptr);

// Fills `owner` with the page of one mode: a vertical scroll view without a frame or background
// whose content is a leading-aligned column with 16 points between parts and 20 points of
// padding. The column is returned through `column`; it ends with a stretch, so parts are
// appended with insertWidget before it (use addPart).
QScrollArea* page(QVBoxLayout*& column, QWidget* owner);
// Makes `scroll` a plain view of a column: no frame and no background of its own, the content
// as wide as the view (never a horizontal scroll bar), read by assistive technology as the page
// it shows or the screen it stands in unless it is named (QKFocusRing::pageOfItsPlace). Returns
// it.
QScrollArea* plainScroll(QScrollArea* scroll);
void addPart(QVBoxLayout* column, QWidget* part);
// addPart for a part the screen keeps: names it `name` and returns it, so a part is built, named
// and placed in one statement (and filled after).
template <typename Part> Part* addPart(QVBoxLayout* column, Part* part, const QString& name) {
    part->setObjectName(name);
    addPart(column, static_cast<QWidget*>(part));
    return part;
}
// page(), opened by its intro: one wrapped line in callout size and secondary colour that says
// what the page is for. Returns the intro's label.
QLabel* introPage(QVBoxLayout*& column, QWidget* owner, const QString& intro);

// Appends a row holding one prominent ask button, leading-aligned, and returns the button.
QKProminentButton* addAskButton(QVBoxLayout* column, const QString& text, const QString& name,
                                QWidget* parent);

// Posts the question to the assistant through the cross-screen "ask" message.
void ask(const QString& question);

} // namespace QKBuild
