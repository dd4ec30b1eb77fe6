#include "vitals/views/PerformanceMetricTile.h"

#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLineLabel.h"
#include "vitals/views/PerformanceBadge.h"
#include "vitals/views/PerformanceWidgets.h"

#include <QLabel>
#include <QVBoxLayout>

using namespace PerformanceWidgets;
using namespace QKBuild;

PerformanceMetricTile::PerformanceMetricTile(const QString& title, QWidget* parent)
    : PerformanceGroupBox(QString(), 8, parent) {
    QWidget* body = card();
    using namespace QKLayout;
    items({row({part(label(title, TextStyle::Headline, QKForeground::Primary, body, std::nullopt,
                           false))
                    .align(Qt::AlignVCenter),
                stretch(1),
                part(m_badge = new PerformanceBadge(body))
                    .name(QStringLiteral("metricBadge"))
                    .align(Qt::AlignVCenter)}),
           part(m_value = figure(TextStyle::Title2, QFont::Bold, QKForeground::Primary, body))
               .name(QStringLiteral("metricValue")),
           becauseBlock(m_detail, body)})
        .fill(column());
    m_detail->setObjectName(QStringLiteral("metricDetail"));
}

void PerformanceMetricTile::setMetric(PerformanceText::Level level, const QString& value,
                                      const QString& detail) {
    m_badge->setLevel(level);
    m_value->setText(value);
    m_detail->setText(detail);
}
