#include "vitals/views/PerformanceImpactList.h"

#include "platform/ByteFormat.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKLineLabel.h"
#include "vitals/DecimalFormat.h"
#include "vitals/SystemSnapshot.h"
#include "vitals/views/PerformanceWidgets.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace PerformanceWidgets;
using namespace QKBuild;

PerformanceImpactList::PerformanceImpactList(QWidget* parent) : QWidget(parent) {
    auto* column = QKBuild::insetColumn(this, {0, 0, 0, 0}, 8);
    const auto heading = [this](const QString& text) {
        return label(text, TextStyle::Caption, QKForeground::Secondary, this, QFont::DemiBold,
                     false);
    };
    m_cpuHeading = heading(QStringLiteral("CPU"));
    m_cpuHeading->setObjectName(QStringLiteral("impactCpuHeading"));
    column->addWidget(m_cpuHeading);
    for (int i = 0; i < cpuRows; ++i) {
        m_cpu.append(makeRow(QStringLiteral("impactCpuRow")));
        column->addWidget(m_cpu.constLast().widget);
    }
    m_divider = new QFrame(this);
    m_divider->setObjectName(QStringLiteral("impactDivider"));
    m_divider->setFrameShape(QFrame::HLine);
    m_divider->setFrameShadow(QFrame::Plain);
    QKForeground::apply(m_divider, QKForeground::Quaternary);
    column->addWidget(m_divider);
    m_memoryHeading = heading(QStringLiteral("Memory"));
    m_memoryHeading->setObjectName(QStringLiteral("impactMemoryHeading"));
    column->addWidget(m_memoryHeading);
    for (int i = 0; i < memoryRows; ++i) {
        m_memory.append(makeRow(QStringLiteral("impactMemoryRow")));
        column->addWidget(m_memory.constLast().widget);
    }
}

PerformanceImpactList::Row PerformanceImpactList::makeRow(const QString& name) {
    Row row;
    row.widget = new QWidget(this);
    row.widget->setObjectName(name);
    auto* line = new QHBoxLayout(row.widget);
    line->setContentsMargins(0, 2, 0, 2);
    row.name = new QKLineLabel(QString(), row.widget);
    row.name->setObjectName(QStringLiteral("impactName"));
    QKFont::apply(row.name, TextStyle::Body);
    row.value = figure(TextStyle::Body, QFont::Normal, QKForeground::Secondary, row.widget);
    row.value->setObjectName(QStringLiteral("impactValue"));
    row.value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    line->addWidget(row.name, 1);
    line->addWidget(row.value, 0);
    return row;
}

void PerformanceImpactList::showSnapshot(const SystemSnapshot& s) {
    const qsizetype cpuCount = std::min<qsizetype>(s.topCPUProcesses.size(), cpuRows);
    const qsizetype memoryCount = std::min<qsizetype>(s.topProcesses.size(), memoryRows);
    m_cpuHeading->setVisible(cpuCount > 0);
    for (qsizetype i = 0; i < m_cpu.size(); ++i) {
        const bool shown = i < cpuCount;
        m_cpu[i].widget->setVisible(shown);
        if (shown) {
            const ProcessCPUInfo& p = s.topCPUProcesses.at(i);
            m_cpu[i].name->setText(p.name);
            m_cpu[i].value->setText(fixedDecimal(p.cpuPercent, 0) + u'%');
        }
    }
    m_divider->setVisible(cpuCount > 0 && memoryCount > 0);
    m_memoryHeading->setVisible(memoryCount > 0);
    for (qsizetype i = 0; i < m_memory.size(); ++i) {
        const bool shown = i < memoryCount;
        m_memory[i].widget->setVisible(shown);
        if (shown) {
            const ProcessMemoryInfo& p = s.topProcesses.at(i);
            m_memory[i].name->setText(p.name);
            m_memory[i].value->setText(formatBytesClamped(p.memoryBytes));
        }
    }
}
