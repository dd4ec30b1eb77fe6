#include "vitals/views/PerformanceFansPage.h"

#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKProminentButton.h"
#include "vitals/PerformanceText.h"
#include "vitals/SystemSnapshot.h"
#include "vitals/views/PerformanceFanCard.h"
#include "vitals/views/PerformanceGroupBox.h"
#include "vitals/views/PerformanceView.h"
#include "vitals/views/PerformanceWidgets.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace PerformanceWidgets;
using namespace QKBuild;
namespace Text = PerformanceText;

PerformanceFansPage::PerformanceFansPage(QWidget* parent)
    : PerformancePage(Text::fansIntro(), parent) {
    setObjectName(QStringLiteral("performanceFans"));
    auto* activity = addBox(QString(), 8, QStringLiteral("fanActivityCard"));
    activity->addLabel(Text::fanActivityTitle(), TextStyle::Headline, QKForeground::Primary);
    m_summary = activity->addLabel(QString(), TextStyle::Callout, QKForeground::Primary,
                                   QStringLiteral("fansSummary"));
    m_pressureNote = activity->addLabel(QString(), TextStyle::Caption, QKForeground::Orange,
                                        QStringLiteral("fansPressureNote"));

    using namespace QKLayout;
    items({part(m_fansHost = new QWidget(m_content))
               .holding(column({0, 0, 0, 0}, 16,
                               {part(m_fanless = new PerformanceGroupBox(QString(), 8, m_fansHost))
                                    .name(QStringLiteral("fanlessCard"))})
                            .keep(m_fansColumn))})
        .fillPage(m_column);
    items({new QKIconLabel("fan"_sym, Text::fanlessTitle(), QKFont{.style = TextStyle::Headline},
                           QKForeground::Primary, m_fanless->card())})
        .fill(m_fanless->column());
    m_fanless->addLabel(Text::fanlessText(), TextStyle::Callout, QKForeground::Secondary);

    auto* wont = addBox(Text::fanLimitsTitle(), 8);
    wont->addLabel(Text::fanLimitsText(), TextStyle::Callout, QKForeground::Secondary);

    m_ask = addAskButton(m_column, Text::askFansButton(), QStringLiteral("askFans"), m_content);
    connect(m_ask, &QPushButton::clicked, this, &PerformanceView::askWhyFansAreLoud);
}

void PerformanceFansPage::showSnapshot(const SystemSnapshot& s) {
    const ThermalSnapshot& t = s.thermal;
    m_summary->setText(ThermalSnapshot::fansSummary(t.fanRPMs, t.fans));
    const std::optional<QString> note = Text::fanPressureNote(t.pressure);
    m_pressureNote->setVisible(note.has_value());
    m_pressureNote->setText(note.value_or(QString()));

    m_fanless->setVisible(t.fans.isEmpty());
    QList<int> ids;
    for (const FanReading& fan : t.fans)
        ids.append(fan.id);
    if (ids != m_cardIds) {
        for (PerformanceFanCard* card : std::as_const(m_cards)) {
            card->hide();
            card->deleteLater();
        }
        m_cards.clear();
        for (qsizetype i = 0; i < t.fans.size(); ++i) {
            auto* card = new PerformanceFanCard(m_fansHost);
            card->setObjectName(QStringLiteral("fanCard"));
            QKLayout::items({card}).fill(m_fansColumn);
            card->show(); // at once, not when the layout's queued show gets to run
            m_cards.append(card);
        }
        m_cardIds = ids;
    }
    for (qsizetype i = 0; i < t.fans.size(); ++i)
        m_cards[i]->showFan(t.fans.at(i));
}
