#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QKLineLabel;
struct HardwareSensor;

// One row of "Temperature sensors": a thermometer, the sensor's name with its plain-language
// line under it, and the reading on the right; a divider below unless it is the last row.
class PerformanceSensorRow : public QWidget {
    Q_OBJECT
public:
    explicit PerformanceSensorRow(QWidget* parent = nullptr);

    void showSensor(const HardwareSensor& sensor, bool divider);

private:
    QLabel* m_name;
    QLabel* m_plain;
    QKLineLabel* m_value;
    QFrame* m_divider;
};
