#pragma once

#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"

#include <optional>
#include <QMargins>
#include <QWidget>

class QLabel;
class QVBoxLayout;

// How a busy page is laid out.
struct QKBusyLook {
    enum class Indicator {
        Spinner,      // QKSpinner at the page's font size
        LargeSpinner, // QKSpinner in title-2 size and the secondary colour
        Bar,          // an indeterminate bar, 160 points wide and at most 8 high
    };
    Indicator indicator = Indicator::Spinner;
    // The line under the indicator.
    TextStyle style = TextStyle::Callout;
    QKForeground::Style tone = QKForeground::Secondary;
    // A wrapped line takes the page's width and centres its text; an unwrapped one is a single
    // line centred in the page.
    bool wrap = false;
    // The indicator leads the line on one row (the two centred together, each as tall as the
    // row) instead of standing over it.
    bool beside = false;
    // The parts sit at the top of the page instead of in its middle.
    bool top = false;
    // Space between the parts, below zero the style's own; around them, none given the style's.
    int spacing = -1;
    std::optional<QMargins> margins = std::nullopt;
    // Extra space between the indicator and the line, on top of the spacing.
    int gap = 0;
};

// A page that says the screen is busy (reading, scanning, measuring): an indicator with a line
// of text under it (or beside it), and any further lines or controls under that, all centred in
// the space the page is given (or at its top). The indicator runs only while the page is visible.
class QKBusyPage : public QWidget {
    Q_OBJECT
public:
    explicit QKBusyPage(const QString& text, QKBusyLook look = {}, QWidget* parent = nullptr);
    // The page of a screen reading what it will show: an indeterminate bar over the text, named
    // "readingProgress" and its line "readingText".
    static QKBusyPage* reading(const QString& text, QWidget* parent);

    QLabel* line() const { return m_line; }
    void setText(const QString& text);

    // Appends an unwrapped line under what the page already shows, centred, and returns it.
    QLabel* addLine(const QString& text, TextStyle style, QKForeground::Style tone);
    // Appends a part (a note, a stop button) under what the page already shows; the page takes
    // ownership.
    void addPart(QWidget* part, Qt::Alignment alignment = Qt::AlignHCenter);

private:
    QVBoxLayout* m_column;
    QWidget* m_indicator;
    QLabel* m_line;
};
