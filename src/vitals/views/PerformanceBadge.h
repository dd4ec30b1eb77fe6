#pragma once

#include "ui-kit/QKBadge.h"
#include "vitals/PerformanceText.h"

// A status word on a capsule (QKBadge): caption semibold in the tone's colour, 8 points of
// padding left and right and 3 above and below, on a capsule of the same colour at 15 %. Used
// for the cards' levels, the thermal pressure and a fan's state.
class PerformanceBadge : public QKBadge {
    Q_OBJECT
public:
    explicit PerformanceBadge(QWidget* parent = nullptr);

    PerformanceText::Tone tone() const { return m_tone; }
    void set(const QString& text, PerformanceText::Tone tone);
    // A card's level: its word and colour.
    void setLevel(PerformanceText::Level level);

private:
    PerformanceText::Tone m_tone = PerformanceText::Tone::Green;
};
