#include "home/views/GuidedReviewEntryCard.h"

#include "home/GuidedReview.h"
#include "home/GuidedReviewText.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKSymbol.h"

#include <QLabel>

GuidedReviewEntryCard::GuidedReviewEntryCard(QWidget* parent)
    : TintPanel(HomeTone::Accent, 14, parent) {
    setObjectName(QStringLiteral("guidedReviewEntry"));
    using namespace QKLayout;
    row({14, 14, 14, 14}, 12,
        {part(new QKSymbol("sparkles"_sym, QKFont{.style = TextStyle::Callout}, QKForeground::Tint,
                           this))
             .align(Qt::AlignVCenter),
         column(2,
                {part(m_title = QKBuild::label(GuidedReview::entryTitle(0, 0), TextStyle::Callout,
                                               QKForeground::Primary, this, QFont::DemiBold))
                     .name(QStringLiteral("guidedEntryTitle")),
                 QKBuild::label(GuidedReviewText::entryLine(), TextStyle::Caption,
                                QKForeground::Secondary, this)})
             .stretch(1),
         part(m_button = new QKProminentButton(GuidedReview::entryButton(0, 0), this))
             .name(QStringLiteral("guidedEntryButton"))
             .align(Qt::AlignVCenter)})
        .on(this);
    connect(m_button, &QPushButton::clicked, this, &GuidedReviewEntryCard::startRequested);
}

void GuidedReviewEntryCard::setProgress(int step, int cards) {
    m_title->setText(GuidedReview::entryTitle(step, cards));
    m_button->setText(GuidedReview::entryButton(step, cards));
    m_button->updateGeometry();
}
