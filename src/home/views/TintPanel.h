#pragma once

#include "home/HomeTone.h"

#include <QWidget>

// A block of content on a faint wash of one colour: a rounded rectangle filled with the tone at
// 7 % and outlined inside its edge with the tone at 18 % (1 point). The home screen's header and
// its guided review prompt stand on it. Adds no padding; colours follow the appearance at paint
// time.
class TintPanel : public QWidget {
    Q_OBJECT
public:
    TintPanel(HomeTone tone, qreal cornerRadius, QWidget* parent = nullptr);

    HomeTone tone() const { return m_tone; }
    void setTone(HomeTone tone);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    HomeTone m_tone;
    qreal m_radius;
};
