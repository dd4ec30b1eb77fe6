#include "apps/views/SubscriptionIntelligenceView.h"

#include "apps/SubscriptionsText.h"
#include "platform/NotificationCenter.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBadge.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKProminentButton.h"

#include <QLabel>
#include <QVBoxLayout>

SubscriptionIntelligenceView::SubscriptionIntelligenceView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("subscriptionsView"));
    setWindowTitle(SubscriptionsText::title());
    QVBoxLayout* column = nullptr;
    QKBuild::introPage(column, this, SubscriptionsText::intro());
    using namespace QKLayout;
    items({part(QKBuild::label(SubscriptionsText::examplesLine(), TextStyle::Caption,
                               QKForeground::Secondary, this))
               .name(QStringLiteral("subscriptionsExamples"))})
        .fillPage(column);

    for (const SubscriptionsText::Insight& insight : SubscriptionsText::insights()) {
        QKGroupBox* card = nullptr;
        items({part(card = new QKGroupBox(QString(), 8, this))
                   .name(QStringLiteral("insight-") + insight.name)})
            .fillPage(column);
        items({row(QMargins(),
                   {part(QKBuild::label(insight.name, TextStyle::Headline, QKForeground::Primary,
                                        card, std::nullopt, false))
                        .align(Qt::AlignVCenter),
                    stretch(1),
                    part(new QKBadge(SubscriptionsText::badge(insight.saving),
                                     insight.saving ? QKForeground::Green : QKForeground::Orange,
                                     {}, card))
                        .name(QStringLiteral("insightBadge"))
                        .align(Qt::AlignVCenter)}),
               QKBuild::label(insight.detail, TextStyle::Callout, QKForeground::Primary, card),
               QKBuild::label(insight.figure, TextStyle::Caption, QKForeground::Secondary, card,
                              QFont::DemiBold),
               QKBuild::label(insight.advice, TextStyle::Caption, QKForeground::Tertiary, card)})
            .fill(card->column());
    }

    QKGroupBox* how = nullptr;
    QWidget* row = nullptr;
    items({part(how = new QKGroupBox(QString(), 8, this)).name(QStringLiteral("howThisWorks"))})
        .fillPage(column);
    items({new QKIconLabel("lock.shield"_sym, SubscriptionsText::howTitle(),
                           QKFont{.style = TextStyle::Headline}, QKForeground::Primary, how),
           QKBuild::label(SubscriptionsText::howText(), TextStyle::Caption, QKForeground::Secondary,
                          how)})
        .fill(how->column());
    items({part(row = new QWidget(this))
               .holding(QKLayout::row(QMargins(), {part(m_review = new QKProminentButton(
                                                            SubscriptionsText::reviewButton(), row))
                                                       .name(QStringLiteral("reviewInstalledApps")),
                                                   stretch(1)}))})
        .fillPage(column);
    connect(m_review, &QPushButton::clicked, this, [] {
        NotificationCenter::defaultCenter().post(Notifications::OpenSection,
                                                 SubscriptionsText::reviewSection());
    });
}
