#include "home/views/AttentionSection.h"

#include "home/DashboardText.h"
#include "home/HealthCheck.h"
#include "home/views/GuidedReviewEntryCard.h"
#include "home/views/RecommendationCardView.h"
#include "home/views/RefreshButton.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKFocusHold.h"
#include "ui-kit/QKGridLayout.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKSymbol.h"

#include <QLabel>

AttentionSection::AttentionSection(HealthCheck& health, OpenAction onOpen, QWidget* parent)
    : QWidget(parent), m_health(health), m_onOpen(std::move(onOpen)), m_hold(this) {
    setObjectName(QStringLiteral("attentionSection"));
    // what a screen reader reads while the focus waits here for a check to end
    setAccessibleName(DashboardText::attentionTitle());
    using namespace QKLayout;
    column(
        {0, 0, 0, 0}, 10,
        {row(8, {QKBuild::label(DashboardText::attentionTitle(), TextStyle::Headline,
                                QKForeground::Primary, this, std::nullopt, false),
                 stretch(1),
                 part(m_refresh = new RefreshButton(this))
                     .name(QStringLiteral("attentionRefresh"))
                     .align(Qt::AlignVCenter)}),
         part(m_empty = new QKCardSurface(14, false, this))
             .name(QStringLiteral("attentionEmpty"))
             .holding(row(
                 {16, 16, 16, 16}, 12,
                 {part(m_emptySymbol = new QKSymbol("stethoscope"_sym,
                                                    QKFont{.style = TextStyle::Title3}, m_empty))
                      .align(Qt::AlignVCenter),
                  column(2, {part(m_emptyTitle = QKBuild::label(QString(), TextStyle::Callout,
                                                                QKForeground::Primary, m_empty,
                                                                QFont::DemiBold))
                                 .name(QStringLiteral("attentionEmptyTitle")),
                             part(m_emptyMessage = QKBuild::label(QString(), TextStyle::Caption,
                                                                  QKForeground::Secondary, m_empty))
                                 .name(QStringLiteral("attentionEmptyMessage"))})
                      .stretch(1),
                  part(m_checkNow =
                           new QKProminentButton(DashboardText::attentionCheckNow(), m_empty))
                      .name(QStringLiteral("checkNow"))
                      .with([](QKProminentButton* b) { b->setSmall(true); })
                      .align(Qt::AlignVCenter)})),
         part(m_grid = new QWidget(this))
             .name(QStringLiteral("recGrid"))
             .holding(tiles(240, 12).keep(m_gridLayout)),
         part(m_entry = new GuidedReviewEntryCard(this))})
        .on(this);
    connect(m_refresh, &QPushButton::clicked, this, &AttentionSection::runCheck);
    connect(m_checkNow, &QPushButton::clicked, this, &AttentionSection::runCheck);

    setChecking(m_health.isChecking());
    setCards({}, false, 0);
}

void AttentionSection::setCards(const QList<RecCard>& cards, bool checkComplete, int level) {
    const bool empty = cards.isEmpty();
    m_empty->setVisible(empty);
    m_grid->setVisible(!empty);
    m_entry->setVisible(!empty);
    if (checkComplete && level == 0) {
        m_emptySymbol->setSymbol("checkmark.circle.fill"_sym);
        QKForeground::apply(m_emptySymbol, QKForeground::Green);
    } else {
        m_emptySymbol->setSymbol("stethoscope"_sym);
        QKForeground::apply(m_emptySymbol, QKForeground::Tint);
    }
    m_emptyTitle->setText(DashboardText::attentionEmptyTitle(checkComplete, level));
    m_emptyMessage->setText(DashboardText::attentionEmptyMessage(checkComplete, level));
    m_checkNow->setVisible(!checkComplete);

    if (cards == m_cards && m_shownOnce)
        return;
    m_shownOnce = true;
    m_cards = cards;
    rebuildCards();
}

void AttentionSection::setChecking(bool checking) {
    // The focused check button goes off while its check runs; the focus waits on the section.
    if (checking)
        m_hold.hold({m_refresh, m_checkNow});
    m_refresh->setChecking(checking);
    m_checkNow->setEnabled(!checking);
    // "Check now" goes once the check completes; the header's button stays
    if (!checking)
        m_hold.giveBack(m_refresh);
}

void AttentionSection::runCheck() {
    m_health.refreshJunk();
    m_health.refreshBigFiles();
}

void AttentionSection::rebuildCards() {
    // The old cards may be the sender of the click that led here; they go once it returns.
    while (QLayoutItem* item = m_gridLayout->takeAt(0)) {
        if (QWidget* w = item->widget()) {
            w->hide();
            w->deleteLater();
        }
        delete item;
    }
    // A widget made now joins the end of the window's Tab chain, after everything below the
    // grid; the cards are read between the check-now panel and the guided review, and Tab
    // follows them there.
    // The emptied tiles give way to tiles of the new cards.
    delete m_gridLayout;
    QKLayout::Tiles cards = QKLayout::tiles(240, 12);
    cards.keep(m_gridLayout);
    QWidget* before = m_checkNow;
    for (const RecCard& card : m_cards) {
        auto* view = new RecommendationCardView(card, m_onOpen, m_grid);
        cards.add(view);
        for (QWidget* w : view->findChildren<QWidget*>()) {
            if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus) {
                QWidget::setTabOrder(before, w);
                before = w;
            }
        }
    }
    cards.on(m_grid);
}
