#include "vitals/views/PerformanceImpactList.h"

#include "platform/ByteFormat.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLineLabel.h"
#include "vitals/DecimalFormat.h"
#include "vitals/PerformanceText.h"
#include "vitals/SystemSnapshot.h"
#include "vitals/views/PerformanceWidgets.h"

#include <QFrame>
#include <QLabel>

using namespace PerformanceWidgets;
using namespace QKBuild;

PerformanceImpactList::PerformanceImpactList(QWidget* parent) : QWidget(parent) {
    const auto heading = [this](const QString& text) {
        return label(text, TextStyle::Caption, QKForeground::Secondary, this, QFont::DemiBold,
                     false);
    };
    using namespace QKLayout;
    Box list = column({0, 0, 0, 0}, 8,
                      {part(m_cpuHeading = heading(PerformanceText::cpuTitle()))
                           .name(QStringLiteral("impactCpuHeading"))});
    for (int i = 0; i < cpuRows; ++i) {
        m_cpu.append(makeRow(QStringLiteral("impactCpuRow")));
        list.add(m_cpu.constLast().widget);
    }
    list.add(part(m_divider = new QFrame(this))
                 .name(QStringLiteral("impactDivider"))
                 .with([](QFrame* line) {
                     line->setFrameShape(QFrame::HLine);
                     line->setFrameShadow(QFrame::Plain);
                 })
                 .ink(QKForeground::Quaternary));
    list.add(part(m_memoryHeading = heading(PerformanceText::memoryTitle()))
                 .name(QStringLiteral("impactMemoryHeading")));
    for (int i = 0; i < memoryRows; ++i) {
        m_memory.append(makeRow(QStringLiteral("impactMemoryRow")));
        list.add(m_memory.constLast().widget);
    }
    list.on(this);
}

PerformanceImpactList::Row PerformanceImpactList::makeRow(const QString& name) {
    Row row;
    row.widget = new QWidget(this);
    row.widget->setObjectName(name);
    using namespace QKLayout;
    QKLayout::row({0, 2, 0, 2}, {part(row.name = new QKLineLabel(QString(), row.widget))
                                     .name(QStringLiteral("impactName"))
                                     .font(TextStyle::Body)
                                     .stretch(1),
                                 part(row.value = figure(TextStyle::Body, QFont::Normal,
                                                         QKForeground::Secondary, row.widget))
                                     .name(QStringLiteral("impactValue"))
                                     .with([](QKLineLabel* value) {
                                         value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                                     })})
        .on(row.widget);
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
