#pragma once

#include "vitals/PerformanceText.h"

#include <QWidget>

// A status word on a capsule: the text in caption semibold in the tone's colour, 8 points of
// padding left and right and 3 above and below, on a capsule of the same colour at 15 %. Used
// for the cards' levels, the thermal pressure and a fan's state.
class PerformanceBadge : public QWidget {
    Q_OBJECT
public:
    explicit PerformanceBadge(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    PerformanceText::Tone tone() const { return m_tone; }
    void set(const QString& text, PerformanceText::Tone tone);
    // A card's level: its word and colour.
    void setLevel(PerformanceText::Level level);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString m_text;
    PerformanceText::Tone m_tone = PerformanceText::Tone::Green;
};
