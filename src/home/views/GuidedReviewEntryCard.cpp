#include "home/views/GuidedReviewEntryCard.h"

#include "home/GuidedReview.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKSymbol.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

GuidedReviewEntryCard::GuidedReviewEntryCard(QWidget* parent)
    : TintPanel(HomeTone::Accent, 14, parent) {
    setObjectName(QStringLiteral("guidedReviewEntry"));
    auto* row = QKBuild::insetRow(this, {14, 14, 14, 14}, 12);

    auto* sparkles =
        new QKSymbol("sparkles"_sym, QKFont{.style = TextStyle::Callout}, QKForeground::Tint, this);
    row->addWidget(sparkles, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    m_title = QKBuild::label(GuidedReview::entryTitle(0, 0), TextStyle::Callout,
                             QKForeground::Primary, this, QFont::DemiBold);
    m_title->setObjectName(QStringLiteral("guidedEntryTitle"));
    texts->addWidget(m_title);
    texts->addWidget(QKBuild::label(QStringLiteral("Pendrel takes you through each item one at a "
                                                   "time. You choose what happens."),
                                    TextStyle::Caption, QKForeground::Secondary, this));
    row->addLayout(texts, 1);

    m_button = new QKProminentButton(GuidedReview::entryButton(0, 0), this);
    m_button->setObjectName(QStringLiteral("guidedEntryButton"));
    row->addWidget(m_button, 0, Qt::AlignVCenter);
    connect(m_button, &QPushButton::clicked, this, &GuidedReviewEntryCard::startRequested);
}

void GuidedReviewEntryCard::setProgress(int step, int cards) {
    m_title->setText(GuidedReview::entryTitle(step, cards));
    m_button->setText(GuidedReview::entryButton(step, cards));
    m_button->updateGeometry();
}
