#pragma once

#include "vitals/views/PerformanceGroupBox.h"

#include <QList>

namespace QKLayout {
class Box;
}
class QLabel;
class QPushButton;
class QKIconLabel;
class QKLineLabel;
class PerformanceBadge;
class ScreenState;
struct SystemSnapshot;

// The overview's heat card: level badge, the temperature (or the pressure word when no CPU
// temperature is known) with a second reading beside it, the live chips (CPU, GPU, fastest fan)
// or a note that no sensors are exposed, the "Because" sentences, links to the sensors and fans
// pages, and advice under serious or critical pressure. The links write
// ScreenState::performanceMode; nothing else is written. Updated in place.
class PerformanceTemperatureCard : public PerformanceGroupBox {
    Q_OBJECT
public:
    PerformanceTemperatureCard(ScreenState* screen, QWidget* parent = nullptr);

    void showSnapshot(const SystemSnapshot& snapshot);

private:
    // One chip a sensor group, leading-aligned.
    QKLayout::Box chips();
    PerformanceBadge* m_badge;
    QKLineLabel* m_reading;
    QLabel* m_secondary;
    QWidget* m_chipsRow;
    QList<QKIconLabel*> m_chips; // one per chip symbol, in the chips' order
    QLabel* m_note;
    QLabel* m_because;
    QPushButton* m_openSensors;
    QPushButton* m_openFans;
    QLabel* m_advice;
};
