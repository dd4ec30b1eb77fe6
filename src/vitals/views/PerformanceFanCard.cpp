#include "vitals/views/PerformanceFanCard.h"

#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLineLabel.h"
#include "vitals/FanReading.h"
#include "vitals/PerformanceText.h"
#include "vitals/views/PerformanceBadge.h"
#include "vitals/views/PerformanceWidgets.h"

#include <cmath>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

using namespace PerformanceWidgets;
using namespace QKBuild;
namespace Text = PerformanceText;

PerformanceFanCard::PerformanceFanCard(QWidget* parent)
    : PerformanceGroupBox(QString(), 10, parent) {
    QWidget* body = card();
    auto* header = new QHBoxLayout;
    m_name = new QKIconLabel("fan"_sym, QString(), QKFont{.style = TextStyle::Headline},
                             QKForeground::Primary, body);
    header->addWidget(m_name, 1, Qt::AlignVCenter);
    m_state = new PerformanceBadge(body);
    m_state->setObjectName(QStringLiteral("fanState"));
    header->addWidget(m_state, 0, Qt::AlignVCenter);
    column()->addLayout(header);

    m_speed = figure(TextStyle::Title2, QFont::Bold, QKForeground::Primary, body);
    m_speed->setObjectName(QStringLiteral("fanSpeed"));
    column()->addWidget(m_speed);

    m_progress = new QProgressBar(body);
    m_progress->setObjectName(QStringLiteral("fanProgress"));
    m_progress->setRange(0, progressSteps);
    m_progress->setTextVisible(false);
    m_progress->setMaximumHeight(8);
    column()->addWidget(m_progress);

    m_range = new QWidget(body);
    m_range->setObjectName(QStringLiteral("fanRange"));
    auto* range = new QHBoxLayout(m_range);
    range->setContentsMargins(0, 0, 0, 0);
    m_min =
        label(QString(), TextStyle::Caption, QKForeground::Secondary, m_range, std::nullopt, false);
    m_max =
        label(QString(), TextStyle::Caption, QKForeground::Secondary, m_range, std::nullopt, false);
    m_min->setObjectName(QStringLiteral("fanMin"));
    range->addWidget(m_min);
    range->addStretch(1);
    range->addWidget(m_max);
    column()->addWidget(m_range);

    m_explanation = label(QString(), TextStyle::Callout, QKForeground::Secondary, body);
    column()->addWidget(m_explanation);
    m_target = label(QString(), TextStyle::Caption, QKForeground::Tertiary, body);
    m_target->setObjectName(QStringLiteral("fanTarget"));
    column()->addWidget(m_target);
}

void PerformanceFanCard::showFan(const FanReading& fan) {
    m_name->setText(fan.name);
    m_state->set(fan.stateLabel(), Text::fanStateTone(fan.rpm));
    m_speed->setText(Text::rpmText(fan.rpm));

    const std::optional<double> progress = Text::fanProgress(fan);
    m_progress->setVisible(progress.has_value());
    m_range->setVisible(progress.has_value());
    if (progress) {
        m_progress->setValue(int(std::lround(*progress * progressSteps)));
        m_min->setText(Text::fanMinText(fan));
        m_max->setText(Text::fanMaxText(fan));
    }
    m_explanation->setText(fan.explanation());
    const std::optional<QString> target = Text::fanTargetText(fan);
    m_target->setVisible(target.has_value());
    m_target->setText(target.value_or(QString()));
}
