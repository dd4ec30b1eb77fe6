#pragma once

#include "ui-kit/ThemeSettings.h"

#include <QAbstractButton>

// One accent colour to pick: a circle 22 across filled with the accent's colour in the scheme
// the swatch sits on, ringed (line width 2, the primary text colour at 80 %) while it is the
// stored choice. For assistive technology it reads "<raw value> accent", a radio button checked
// while it is ringed; a click (or its one action) reports the pick and never rings it by itself:
// the owner rings the stored choice.
class AccentSwatch : public QAbstractButton {
    Q_OBJECT
public:
    explicit AccentSwatch(AccentChoice accent, QWidget* parent = nullptr);

    AccentChoice accent() const { return m_accent; }
    bool isRinged() const { return isChecked(); }
    void setRinged(bool ringed);

    QSize sizeHint() const override { return QSize(kExtent, kExtent); }
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr int kDiameter = 22;
    // The focus ring stands this far off the circle: a gap two pixels wide, then the ring.
    static constexpr int kRingOutset = 4;
    static constexpr int kExtent = kDiameter + 2 * kRingOutset;

protected:
    void paintEvent(QPaintEvent* event) override;
    void nextCheckState() override {} // the owner decides

private:
    AccentChoice m_accent;
};
