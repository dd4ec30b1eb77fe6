#include "apps/views/SubscriptionIntelligenceView.h"

#include "apps/SubscriptionsText.h"
#include "platform/NotificationCenter.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBadge.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKProminentButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

SubscriptionIntelligenceView::SubscriptionIntelligenceView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("subscriptionsView"));
    setWindowTitle(SubscriptionsText::title());
    QVBoxLayout* column = nullptr;
    QKBuild::introPage(column, this, SubscriptionsText::intro());
    QLabel* examples = QKBuild::label(SubscriptionsText::examplesLine(), TextStyle::Caption,
                                      QKForeground::Secondary, this);
    examples->setObjectName(QStringLiteral("subscriptionsExamples"));
    QKBuild::addPart(column, examples);

    for (const SubscriptionsText::Insight& insight : SubscriptionsText::insights()) {
        auto* card = new QKGroupBox(QString(), 8, this);
        card->setObjectName(QStringLiteral("insight-") + insight.name);
        auto* header = new QHBoxLayout;
        header->setContentsMargins(0, 0, 0, 0);
        header->addWidget(QKBuild::label(insight.name, TextStyle::Headline, QKForeground::Primary,
                                         card, std::nullopt, false),
                          0, Qt::AlignVCenter);
        header->addStretch(1);
        auto* badge =
            new QKBadge(SubscriptionsText::badge(insight.saving),
                        insight.saving ? QKForeground::Green : QKForeground::Orange, {}, card);
        header->addWidget(badge, 0, Qt::AlignVCenter);
        badge->setObjectName(QStringLiteral("insightBadge"));
        card->column()->addLayout(header);
        card->column()->addWidget(
            QKBuild::label(insight.detail, TextStyle::Callout, QKForeground::Primary, card));
        card->column()->addWidget(QKBuild::label(insight.figure, TextStyle::Caption,
                                                 QKForeground::Secondary, card, QFont::DemiBold));
        card->column()->addWidget(
            QKBuild::label(insight.advice, TextStyle::Caption, QKForeground::Tertiary, card));
        QKBuild::addPart(column, card);
    }

    auto* how = new QKGroupBox(QString(), 8, this);
    how->setObjectName(QStringLiteral("howThisWorks"));
    QKFont headline;
    headline.style = TextStyle::Headline;
    how->column()->addWidget(new QKIconLabel("lock.shield"_sym, SubscriptionsText::howTitle(),
                                             headline, QKForeground::Primary, how));
    how->column()->addWidget(QKBuild::label(SubscriptionsText::howText(), TextStyle::Caption,
                                            QKForeground::Secondary, how));
    QKBuild::addPart(column, how);

    auto* row = new QWidget(this);
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    m_review = new QKProminentButton(SubscriptionsText::reviewButton(), row);
    m_review->setObjectName(QStringLiteral("reviewInstalledApps"));
    connect(m_review, &QPushButton::clicked, this, [] {
        NotificationCenter::defaultCenter().post(Notifications::OpenSection,
                                                 SubscriptionsText::reviewSection());
    });
    rowLayout->addWidget(m_review);
    rowLayout->addStretch(1);
    QKBuild::addPart(column, row);
}
