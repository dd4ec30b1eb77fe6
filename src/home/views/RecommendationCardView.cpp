#include "home/views/RecommendationCardView.h"

#include "home/views/HomeTint.h"
#include "home/views/SymbolTile.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKProminentButton.h"

#include <QEvent>
#include <QLabel>

RecommendationCardView::RecommendationCardView(const RecCard& card, OpenAction onOpen,
                                               QWidget* parent)
    : QKCardSurface(14, false, parent), m_card(card), m_onOpen(std::move(onOpen)) {
    setObjectName(QStringLiteral("recCard-") + card.id);
    setMinimumHeight(190);
    using namespace QKLayout;
    column({14, 14, 14, 14}, 9,
           {row(10, {part(m_icon = new SymbolTile(
                              card.icon, Recommendations::tone(card.severity), 34, 9,
                              QKFont{.style = TextStyle::Callout, .weight = QFont::DemiBold}, this))
                         .align(Qt::AlignTop),
                     part(m_title = QKBuild::label(card.title, TextStyle::Headline,
                                                   QKForeground::Primary, this))
                         .name(QStringLiteral("recTitle"))
                         .stretch(1)
                         .align(Qt::AlignTop)}),
            part(QKBuild::label(card.why, TextStyle::Caption, QKForeground::Secondary, this))
                .name(QStringLiteral("recWhy")),
            part(QKBuild::label(card.ifIgnored, TextStyle::Caption2, QKForeground::Tertiary, this))
                .name(QStringLiteral("recIfIgnored")),
            stretch(1),
            part(m_action = new QKProminentButton(card.actionTitle, this))
                .name(QStringLiteral("recAction"))
                .with([](QKProminentButton* b) { b->setSmall(true); })
                .align(Qt::AlignLeft)})
        .on(this);
    connect(m_action, &QPushButton::clicked, this, [this] {
        if (m_onOpen)
            m_onOpen(m_card);
    });
    applyTint();
}

void RecommendationCardView::applyTint() {
    if (!m_action) // a palette change while the card is being built
        return;
    m_action->setTint(HomeTint::color(Recommendations::tone(m_card.severity), palette()));
}

void RecommendationCardView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        applyTint();
    QKCardSurface::changeEvent(event);
}
