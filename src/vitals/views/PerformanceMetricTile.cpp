#include "vitals/views/PerformanceMetricTile.h"

#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKLineLabel.h"
#include "vitals/views/PerformanceBadge.h"
#include "vitals/views/PerformanceWidgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace PerformanceWidgets;
using namespace QKBuild;

PerformanceMetricTile::PerformanceMetricTile(const QString& title, QWidget* parent)
    : PerformanceGroupBox(QString(), 8, parent) {
    QWidget* body = card();
    auto* header = new QHBoxLayout;
    header->addWidget(
        label(title, TextStyle::Headline, QKForeground::Primary, body, std::nullopt, false), 0,
        Qt::AlignVCenter);
    header->addStretch(1);
    m_badge = new PerformanceBadge(body);
    m_badge->setObjectName(QStringLiteral("metricBadge"));
    header->addWidget(m_badge, 0, Qt::AlignVCenter);
    column()->addLayout(header);

    m_value = figure(TextStyle::Title2, QFont::Bold, QKForeground::Primary, body);
    m_value->setObjectName(QStringLiteral("metricValue"));
    column()->addWidget(m_value);
    m_detail = addBecauseBlock(column(), body);
    m_detail->setObjectName(QStringLiteral("metricDetail"));
}

void PerformanceMetricTile::setMetric(PerformanceText::Level level, const QString& value,
                                      const QString& detail) {
    m_badge->setLevel(level);
    m_value->setText(value);
    m_detail->setText(detail);
}
