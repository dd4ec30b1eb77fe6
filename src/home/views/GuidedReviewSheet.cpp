#include "home/views/GuidedReviewSheet.h"

#include "home/GuidedReview.h"
#include "home/GuidedReviewText.h"
#include "home/views/HomeTint.h"
#include "home/views/SymbolTile.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKSymbol.h"
#include "ui-kit/QKSymbolButton.h"
#include "ui-kit/Themed.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QWindow>

namespace {

const QSize kStepSize(520, 430);
const QSize kFinishedSize(470, 320);

// A caption label over its body, as the step's two blocks show them.
QKLayout::Box block(const QString& label, QLabel*& body, QWidget* parent) {
    using namespace QKLayout;
    return column({0, 0, 0, 0}, 3,
                  {QKBuild::label(label, TextStyle::Caption, QKForeground::Secondary, parent,
                                  QFont::DemiBold),
                   part(body = QKBuild::label(QString(), TextStyle::Callout, QKForeground::Primary,
                                              parent))});
}

} // namespace

GuidedReviewSheet::GuidedReviewSheet(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("guidedReviewSheet"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowModality(Qt::WindowModal);
    setWindowTitle(GuidedReviewText::windowTitle());
    Themed::apply(this);
    QKLayout::flushColumn({QKLayout::part(m_pages = new QStackedWidget(this))}).on(this);
    m_stepPage = buildStep();
    m_finishedPage = buildFinished();
    m_pages->addWidget(m_stepPage);
    m_pages->addWidget(m_finishedPage);
    // Escape and the window's close button dismiss the sheet the same way "Done" does.
    connect(this, &QDialog::rejected, this, &GuidedReviewSheet::closeRequested);
    showReview({}, 0);
}

QWidget* GuidedReviewSheet::buildStep() {
    auto* page = new QWidget(this);
    using namespace QKLayout;
    column(
        {28, 28, 28, 28}, 20,
        {row({part(m_header = QKBuild::label(QString(), TextStyle::Caption, QKForeground::Secondary,
                                             page, QFont::DemiBold, false))
                  .name(QStringLiteral("reviewStepHeader"))
                  .stretch(1)
                  .align(Qt::AlignVCenter),
              part(m_close = new QKSymbolButton(
                       "xmark"_sym, QKForeground::Secondary,
                       QKFont{.style = TextStyle::Caption, .weight = QFont::DemiBold}, page))
                  .name(QStringLiteral("reviewClose"))
                  .with([](QWidget* w) { w->setToolTip(GuidedReviewText::closeTip()); })
                  .align(Qt::AlignVCenter)}),
         part(m_progress = new QProgressBar(page))
             .name(QStringLiteral("reviewProgress"))
             .with([](QProgressBar* bar) {
                 bar->setTextVisible(false);
                 bar->setMaximumHeight(6);
             }),
         part(m_icon = new SymbolTile(QString(), HomeTone::Accent, 52, 14, QKFont{.fixedSize = 24},
                                      page))
             .align(Qt::AlignLeft),
         part(m_title = QKBuild::label(QString(), TextStyle::Title2, QKForeground::Primary, page,
                                       QFont::Bold))
             .name(QStringLiteral("reviewTitle")),
         column(12, {block(GuidedReviewText::whyTitle(), m_why, page),
                     block(GuidedReviewText::ifIgnoredTitle(), m_ifIgnored, page)}),
         stretch(1),
         row(10, {stretch(1),
                  part(m_skip = QKBuild::button(GuidedReviewText::skipButton(), false, page))
                      .name(QStringLiteral("reviewSkip"))
                      .align(Qt::AlignVCenter),
                  part(m_action = new QKProminentButton(QString(), page))
                      .name(QStringLiteral("reviewAction"))
                      .with([](QKProminentButton* b) { b->setDefault(true); })
                      .align(Qt::AlignVCenter)})})
        .on(page);
    m_why->setObjectName(QStringLiteral("reviewWhy"));
    m_ifIgnored->setObjectName(QStringLiteral("reviewIfIgnored"));
    connect(m_close, &QAbstractButton::clicked, this, &GuidedReviewSheet::closeRequested);
    connect(m_skip, &QPushButton::clicked, this, &GuidedReviewSheet::skipRequested);
    connect(m_action, &QPushButton::clicked, this, [this] { emit actRequested(m_card); });
    return page;
}

QWidget* GuidedReviewSheet::buildFinished() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("reviewFinished"));
    using namespace QKLayout;
    column({28, 28, 28, 28}, 14,
           {stretch(1),
            part(new QKSymbol("checkmark.circle.fill"_sym, QKFont{.fixedSize = 36},
                              QKForeground::Green, page))
                .align(Qt::AlignHCenter),
            part(QKBuild::label(GuidedReviewText::finishedTitle(), TextStyle::Title2,
                                QKForeground::Primary, page, QFont::Bold, false))
                .name(QStringLiteral("reviewFinishedTitle"))
                .align(Qt::AlignHCenter),
            part(QKBuild::label(GuidedReviewText::finishedMessage(), TextStyle::Body,
                                QKForeground::Secondary, page))
                .with([](QLabel* l) { l->setAlignment(Qt::AlignHCenter); }),
            part(m_done = new QKProminentButton(GuidedReviewText::doneButton(), page))
                .name(QStringLiteral("reviewDone"))
                .align(Qt::AlignHCenter),
            stretch(1)})
        .on(page);
    connect(m_done, &QPushButton::clicked, this, &GuidedReviewSheet::closeRequested);
    return page;
}

void GuidedReviewSheet::showReview(const QList<RecCard>& cards, int step) {
    const int n = int(cards.size());
    if (GuidedReview::isFinished(step, n)) {
        m_pages->setCurrentWidget(m_finishedPage);
        setFixedSize(kFinishedSize);
        m_done->setDefault(true);
        return;
    }
    const int i = GuidedReview::shownIndex(step, n);
    m_card = cards.at(i);
    m_header->setText(GuidedReview::stepHeader(i, n));
    m_progress->setRange(0, n);
    m_progress->setValue(i + 1);
    m_icon->setSymbol(m_card.icon, Recommendations::tone(m_card.severity));
    m_title->setText(m_card.title);
    m_why->setText(m_card.why);
    m_ifIgnored->setText(m_card.ifIgnored);
    m_action->setText(m_card.actionTitle);
    m_action->updateGeometry();
    applyTint();
    m_pages->setCurrentWidget(m_stepPage);
    setFixedSize(kStepSize);
    m_action->setDefault(true);
}

void GuidedReviewSheet::applyTint() {
    // Theming the dialog changes its palette before the step page is built.
    if (!m_action)
        return;
    m_action->setTint(HomeTint::color(Recommendations::tone(m_card.severity), palette()));
}

void GuidedReviewSheet::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        applyTint();
    QDialog::changeEvent(event);
}

void GuidedReviewSheet::showEvent(QShowEvent* event) {
    // The sheet belongs to the window it was opened from even when its parent widget was built
    // before that window had a native window of its own; set before the sheet is mapped.
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (owner && windowHandle() && owner->windowHandle())
        windowHandle()->setTransientParent(owner->windowHandle());
    QDialog::showEvent(event);
}
