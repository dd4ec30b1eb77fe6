#include "home/views/GuidedReviewSheet.h"

#include "home/GuidedReview.h"
#include "home/views/HomeTint.h"
#include "home/views/SymbolTile.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKSymbol.h"
#include "ui-kit/QKSymbolButton.h"
#include "ui-kit/Themed.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QWindow>

namespace {

const QSize kStepSize(520, 430);
const QSize kFinishedSize(470, 320);

// A caption label over its body, as the step's two blocks show them.
QWidget* block(const QString& label, QLabel*& body, QWidget* parent) {
    auto* w = new QWidget(parent);
    auto* column = QKBuild::insetColumn(w, {0, 0, 0, 0}, 3);
    column->addWidget(
        QKBuild::label(label, TextStyle::Caption, QKForeground::Secondary, w, QFont::DemiBold));
    body = QKBuild::label(QString(), TextStyle::Callout, QKForeground::Primary, w);
    column->addWidget(body);
    return w;
}

} // namespace

GuidedReviewSheet::GuidedReviewSheet(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("guidedReviewSheet"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral("Today's review"));
    Themed::apply(this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_pages = new QStackedWidget(this);
    m_stepPage = buildStep();
    m_finishedPage = buildFinished();
    m_pages->addWidget(m_stepPage);
    m_pages->addWidget(m_finishedPage);
    outer->addWidget(m_pages);
    // Escape and the window's close button dismiss the sheet the same way "Done" does.
    connect(this, &QDialog::rejected, this, &GuidedReviewSheet::closeRequested);
    showReview({}, 0);
}

QWidget* GuidedReviewSheet::buildStep() {
    auto* page = new QWidget(this);
    auto* column = QKBuild::insetColumn(page, {28, 28, 28, 28}, 20);

    auto* header = new QHBoxLayout;
    m_header = QKBuild::label(QString(), TextStyle::Caption, QKForeground::Secondary, page,
                              QFont::DemiBold, false);
    m_header->setObjectName(QStringLiteral("reviewStepHeader"));
    header->addWidget(m_header, 1, Qt::AlignVCenter);
    m_close =
        new QKSymbolButton("xmark"_sym, QKForeground::Secondary,
                           QKFont{.style = TextStyle::Caption, .weight = QFont::DemiBold}, page);
    m_close->setObjectName(QStringLiteral("reviewClose"));
    m_close->setToolTip(QStringLiteral("Close"));
    header->addWidget(m_close, 0, Qt::AlignVCenter);
    column->addLayout(header);
    connect(m_close, &QAbstractButton::clicked, this, &GuidedReviewSheet::closeRequested);

    m_progress = new QProgressBar(page);
    m_progress->setObjectName(QStringLiteral("reviewProgress"));
    m_progress->setTextVisible(false);
    m_progress->setMaximumHeight(6);
    column->addWidget(m_progress);

    m_icon = new SymbolTile(QString(), HomeTone::Accent, 52, 14, QKFont{.fixedSize = 24}, page);
    column->addWidget(m_icon, 0, Qt::AlignLeft);
    m_title =
        QKBuild::label(QString(), TextStyle::Title2, QKForeground::Primary, page, QFont::Bold);
    m_title->setObjectName(QStringLiteral("reviewTitle"));
    column->addWidget(m_title);

    auto* blocks = new QVBoxLayout;
    blocks->setSpacing(12);
    blocks->addWidget(block(QStringLiteral("Why it matters"), m_why, page));
    blocks->addWidget(block(QStringLiteral("If you leave it"), m_ifIgnored, page));
    m_why->setObjectName(QStringLiteral("reviewWhy"));
    m_ifIgnored->setObjectName(QStringLiteral("reviewIfIgnored"));
    column->addLayout(blocks);
    column->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addStretch(1);
    m_skip = QKBuild::button(QStringLiteral("Skip"), false, page);
    m_skip->setObjectName(QStringLiteral("reviewSkip"));
    m_action = new QKProminentButton(QString(), page);
    m_action->setObjectName(QStringLiteral("reviewAction"));
    m_action->setDefault(true);
    buttons->addWidget(m_skip, 0, Qt::AlignVCenter);
    buttons->addWidget(m_action, 0, Qt::AlignVCenter);
    column->addLayout(buttons);
    connect(m_skip, &QPushButton::clicked, this, &GuidedReviewSheet::skipRequested);
    connect(m_action, &QPushButton::clicked, this, [this] { emit actRequested(m_card); });
    return page;
}

QWidget* GuidedReviewSheet::buildFinished() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("reviewFinished"));
    auto* column = QKBuild::insetColumn(page, {28, 28, 28, 28}, 14);
    column->addStretch(1);
    auto* check = new QKSymbol("checkmark.circle.fill"_sym, QKFont{.fixedSize = 36},
                               QKForeground::Green, page);
    column->addWidget(check, 0, Qt::AlignHCenter);
    QLabel* title = QKBuild::label(QStringLiteral("You're all caught up"), TextStyle::Title2,
                                   QKForeground::Primary, page, QFont::Bold, false);
    title->setObjectName(QStringLiteral("reviewFinishedTitle"));
    column->addWidget(title, 0, Qt::AlignHCenter);
    QLabel* message =
        QKBuild::label(QStringLiteral("You've reviewed everything Pendrel found today."),
                       TextStyle::Body, QKForeground::Secondary, page);
    message->setAlignment(Qt::AlignHCenter);
    column->addWidget(message);
    m_done = new QKProminentButton(QStringLiteral("Done"), page);
    m_done->setObjectName(QStringLiteral("reviewDone"));
    column->addWidget(m_done, 0, Qt::AlignHCenter);
    column->addStretch(1);
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
