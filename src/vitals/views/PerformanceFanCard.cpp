#include "vitals/views/PerformanceFanCard.h"

#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLineLabel.h"
#include "vitals/FanReading.h"
#include "vitals/PerformanceText.h"
#include "vitals/views/PerformanceBadge.h"
#include "vitals/views/PerformanceWidgets.h"

#include <cmath>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

using namespace PerformanceWidgets;
using namespace QKBuild;
namespace Text = PerformanceText;

PerformanceFanCard::PerformanceFanCard(QWidget* parent)
    : PerformanceGroupBox(QString(), 10, parent) {
    QWidget* body = card();
    using namespace QKLayout;
    items(
        {row({part(m_name =
                       new QKIconLabel("fan"_sym, QString(), QKFont{.style = TextStyle::Headline},
                                       QKForeground::Primary, body))
                  .stretch(1)
                  .align(Qt::AlignVCenter),
              part(m_state = new PerformanceBadge(body))
                  .name(QStringLiteral("fanState"))
                  .align(Qt::AlignVCenter)}),
         part(m_speed = figure(TextStyle::Title2, QFont::Bold, QKForeground::Primary, body))
             .name(QStringLiteral("fanSpeed")),
         part(m_progress = new QProgressBar(body))
             .name(QStringLiteral("fanProgress"))
             .with([](QProgressBar* bar) {
                 bar->setRange(0, progressSteps);
                 bar->setTextVisible(false);
                 bar->setMaximumHeight(8);
             }),
         part(m_range = new QWidget(body))
             .name(QStringLiteral("fanRange"))
             .holding(
                 row(QMargins(),
                     {part(m_min = label(QString(), TextStyle::Caption, QKForeground::Secondary,
                                         m_range, std::nullopt, false))
                          .name(QStringLiteral("fanMin")),
                      stretch(1),
                      part(m_max = label(QString(), TextStyle::Caption, QKForeground::Secondary,
                                         m_range, std::nullopt, false))})),
         part(m_explanation = label(QString(), TextStyle::Callout, QKForeground::Secondary, body)),
         part(m_target = label(QString(), TextStyle::Caption, QKForeground::Tertiary, body))
             .name(QStringLiteral("fanTarget"))})
        .fill(column());
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
