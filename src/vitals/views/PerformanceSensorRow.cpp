#include "vitals/views/PerformanceSensorRow.h"

#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKSymbol.h"
#include "vitals/HardwareSensor.h"
#include "vitals/views/PerformanceWidgets.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace PerformanceWidgets;
using namespace QKBuild;

PerformanceSensorRow::PerformanceSensorRow(QWidget* parent) : QWidget(parent) {
    auto* outer = QKBuild::flushColumn(this);

    auto* row = QKBuild::insetRow(nullptr, {0, 8, 0, 8}, 12);
    auto* symbol = new QKSymbol("thermometer.medium"_sym, QKFont{.style = TextStyle::Body},
                                QKForeground::Orange, this);
    symbol->setMinimumWidth(20);
    row->addWidget(symbol, 0, Qt::AlignTop | Qt::AlignHCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    m_name = label(QString(), TextStyle::Body, QKForeground::Primary, this, QFont::Medium);
    m_plain = label(QString(), TextStyle::Caption, QKForeground::Secondary, this);
    m_name->setObjectName(QStringLiteral("sensorName"));
    texts->addWidget(m_name);
    texts->addWidget(m_plain);
    row->addLayout(texts, 1);

    m_value = figure(TextStyle::Title3, QFont::DemiBold, QKForeground::Primary, this);
    m_value->setObjectName(QStringLiteral("sensorValue"));
    m_value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(m_value, 0, Qt::AlignTop);
    outer->addLayout(row);

    m_divider = new QFrame(this);
    m_divider->setObjectName(QStringLiteral("sensorDivider"));
    m_divider->setFrameShape(QFrame::HLine);
    m_divider->setFrameShadow(QFrame::Plain);
    QKForeground::apply(m_divider, QKForeground::Quaternary);
    outer->addWidget(m_divider);
}

void PerformanceSensorRow::showSensor(const HardwareSensor& sensor, bool divider) {
    m_name->setText(sensor.name);
    m_plain->setText(sensor.plain);
    m_value->setText(sensor.displayValue());
    m_divider->setVisible(divider);
}
