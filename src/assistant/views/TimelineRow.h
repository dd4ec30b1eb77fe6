#pragma once

#include "platform/TimelineEntry.h"

#include <QDateTime>
#include <QWidget>

class QKClampedText;
class QKHairline;
class QKSymbol;
class QKSymbolButton;
class QLabel;

// One entry of the timeline screen: the kind's symbol (accent when pinned), the title with a
// "Pinned" badge, the detail, a meta line with the kind's label and how long ago it was, and the
// pin button; a divider under it unless it is the last row. The list draws every row with one of
// these (TimelineDelegate), so the pin acts through the delegate, not through this widget.
class TimelineRow : public QWidget {
    Q_OBJECT
public:
    explicit TimelineRow(const TimelineEntry& entry, QWidget* parent = nullptr);

    const TimelineEntry& entry() const { return m_entry; }
    // Shows another entry, or a new state of the same one.
    void setEntry(const TimelineEntry& entry);
    // Rewrites how long ago the entry was.
    void refreshAge(const QDateTime& now);
    void setDividerVisible(bool visible);

private:
    void showPinState();

    TimelineEntry m_entry;
    QDateTime m_lastNow;
    QKSymbol* m_symbol;
    QKClampedText* m_title;
    QWidget* m_badge;
    QKClampedText* m_detail;
    QLabel* m_meta;
    QKSymbolButton* m_pin;
    QKHairline* m_divider;
};
