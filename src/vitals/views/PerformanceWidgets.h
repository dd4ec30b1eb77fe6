#pragma once

#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "vitals/PerformanceText.h"

#include <optional>
#include <QString>

class QLabel;
class QPushButton;
class QScrollArea;
class QVBoxLayout;
class QWidget;
class QKLineLabel;

// Small builders shared by the Performance screen's pages, so every page styles the same kinds
// of text the same way.
class QKProminentButton;

namespace PerformanceWidgets {

// The interface colour of a tone.
QKForeground::Style toneStyle(PerformanceText::Tone tone);

// A plain-text label in a text style and colour; wrapped labels break between words and take
// the height their width needs.
QLabel* label(const QString& text, TextStyle style, QKForeground::Style tone, QWidget* parent,
              std::optional<QFont::Weight> weight = std::nullopt, bool wrap = true);

// A single-line figure (a value that updates in place) with digits of equal width.
QKLineLabel* figure(TextStyle style, QFont::Weight weight, QKForeground::Style tone,
                    QWidget* parent);

// "Because" above a wrapped detail sentence in callout; returns the sentence's label.
QLabel* addBecauseBlock(QVBoxLayout* column, QWidget* parent);

// A bordered button; small ones use the footnote text style.
QPushButton* button(const QString& text, bool small, QWidget* parent);

// Fills `owner` with the page of one mode: a vertical scroll view without a frame or background
// whose content is a leading-aligned column with 16 points between parts and 20 points of
// padding. The column is returned through `column`; it ends with a stretch, so parts are
// appended with insertWidget before it (use addPart).
QScrollArea* page(QVBoxLayout*& column, QWidget* owner);
void addPart(QVBoxLayout* column, QWidget* part);

// Appends a row holding one prominent ask button, leading-aligned, and returns the button.
QKProminentButton* addAskButton(QVBoxLayout* column, const QString& text, const QString& name,
                                QWidget* parent);

// Posts the question to the assistant through the cross-screen "ask" message.
void ask(const QString& question);

} // namespace PerformanceWidgets
