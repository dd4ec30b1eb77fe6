#include "home/views/RecommendationCardView.h"

#include "home/views/HomeTint.h"
#include "home/views/SymbolTile.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKProminentButton.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

RecommendationCardView::RecommendationCardView(const RecCard& card, OpenAction onOpen,
                                               QWidget* parent)
    : QKCardSurface(14, false, parent), m_card(card), m_onOpen(std::move(onOpen)) {
    setObjectName(QStringLiteral("recCard-") + card.id);
    setMinimumHeight(190);
    auto* column = QKBuild::insetColumn(this, {14, 14, 14, 14}, 9);

    auto* top = new QHBoxLayout;
    top->setSpacing(10);
    m_icon = new SymbolTile(card.icon, Recommendations::tone(card.severity), 34, 9,
                            QKFont{.style = TextStyle::Callout, .weight = QFont::DemiBold}, this);
    top->addWidget(m_icon, 0, Qt::AlignTop);
    m_title = QKBuild::label(card.title, TextStyle::Headline, QKForeground::Primary, this);
    m_title->setObjectName(QStringLiteral("recTitle"));
    top->addWidget(m_title, 1, Qt::AlignTop);
    column->addLayout(top);

    QLabel* why = QKBuild::label(card.why, TextStyle::Caption, QKForeground::Secondary, this);
    why->setObjectName(QStringLiteral("recWhy"));
    column->addWidget(why);
    QLabel* ignored =
        QKBuild::label(card.ifIgnored, TextStyle::Caption2, QKForeground::Tertiary, this);
    ignored->setObjectName(QStringLiteral("recIfIgnored"));
    column->addWidget(ignored);
    column->addStretch(1);

    m_action = new QKProminentButton(card.actionTitle, this);
    m_action->setObjectName(QStringLiteral("recAction"));
    m_action->setSmall(true);
    column->addWidget(m_action, 0, Qt::AlignLeft);
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
