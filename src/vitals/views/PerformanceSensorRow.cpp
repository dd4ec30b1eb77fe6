#include "vitals/views/PerformanceSensorRow.h"

#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKSymbol.h"
#include "vitals/HardwareSensor.h"
#include "vitals/views/PerformanceWidgets.h"

#include <QFrame>
#include <QLabel>

using namespace PerformanceWidgets;
using namespace QKBuild;

PerformanceSensorRow::PerformanceSensorRow(QWidget* parent) : QWidget(parent) {
    using namespace QKLayout;
    QKLayout::flushColumn(
        {row({0, 8, 0, 8}, 12,
             {part(new QKSymbol("thermometer.medium"_sym, QKFont{.style = TextStyle::Body},
                                QKForeground::Orange, this))
                  .with([](QWidget* symbol) { symbol->setMinimumWidth(20); })
                  .align(Qt::AlignTop | Qt::AlignHCenter),
              column(2, {part(m_name = label(QString(), TextStyle::Body, QKForeground::Primary,
                                             this, QFont::Medium))
                             .name(QStringLiteral("sensorName")),
                         part(m_plain = label(QString(), TextStyle::Caption,
                                              QKForeground::Secondary, this))})
                  .stretch(1),
              part(m_value =
                       figure(TextStyle::Title3, QFont::DemiBold, QKForeground::Primary, this))
                  .name(QStringLiteral("sensorValue"))
                  .with([](QKLineLabel* value) {
                      value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                  })
                  .align(Qt::AlignTop)}),
         part(m_divider = new QFrame(this))
             .name(QStringLiteral("sensorDivider"))
             .with([](QFrame* line) {
                 line->setFrameShape(QFrame::HLine);
                 line->setFrameShadow(QFrame::Plain);
             })
             .ink(QKForeground::Quaternary)})
        .on(this);
}

void PerformanceSensorRow::showSensor(const HardwareSensor& sensor, bool divider) {
    m_name->setText(sensor.name);
    m_plain->setText(sensor.plain);
    m_value->setText(sensor.displayValue());
    m_divider->setVisible(divider);
}
