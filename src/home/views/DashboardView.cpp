#include "home/views/DashboardView.h"

#include "home/DashboardText.h"
#include "home/HeadroomText.h"
#include "home/HealthCheck.h"
#include "home/views/AttentionSection.h"
#include "home/views/DashboardHeaderCard.h"
#include "home/views/FullDiskAccessCard.h"
#include "home/views/GlanceSection.h"
#include "home/views/GuidedReviewEntryCard.h"
#include "home/views/GuidedReviewSheet.h"
#include "platform/AccountName.h"
#include "platform/Clock.h"
#include "platform/NotificationCenter.h"
#include "shell/Permissions.h"
#include "shell/ScreenState.h"
#include "ui-kit/AskTamsoStrip.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKBusyPage.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKScanStatePages.h"
#include "vitals/AppState.h"

#include <QLabel>
#include <QVBoxLayout>

DashboardView::DashboardView(AppState& appState, Permissions& permissions, HealthCheck& health,
                             ScreenState& screen, const Clock& clock, const AccountName& account,
                             QWidget* parent)
    : QWidget(parent), m_appState(appState), m_health(health), m_screen(screen), m_clock(clock),
      m_account(account) {
    m_review.step = screen.guidedStep();
    setObjectName(QStringLiteral("dashboardView"));
    setWindowTitle(DashboardText::windowTitle());
    using namespace QKLayout;
    flushColumn({part(m_stack = new QKScanStatePages(this))}).on(this);
    m_progress = QKBusyPage::reading(DashboardText::readingVitals(), m_stack);
    m_progress->setObjectName(QStringLiteral("readingVitals"));
    m_stack->setPage(QKScanPhase::Busy, m_progress);

    m_page = new QWidget(m_stack);
    QVBoxLayout* page = nullptr;
    QKBuild::page(page, m_page);
    QWidget* content = page->parentWidget();
    m_stack->setPage(QKScanPhase::Done, m_page);

    // The home screen's sections stand 18 apart, 24 from the page's edge: the page's own padding
    // and the rest, round one column of them.
    const QMargins padding(24, 24, 24, 24);
    items({column(padding - page->contentsMargins(), 18,
                  {part(m_header = new DashboardHeaderCard(content)),
                   part(m_attention = new AttentionSection(
                            health, [this](const RecCard& card) { openRecommendation(card); },
                            content)),
                   part(m_fullDiskAccess = new FullDiskAccessCard(permissions, {}, content)),
                   part(m_glance = new GlanceSection(content)),
                   part(m_ask = new AskTamsoStrip(DashboardText::askPrompt(),
                                                  DashboardText::askQuestion(), true, content))
                       .name(QStringLiteral("dashboardAsk"))})})
        .fillPage(page);

    m_sheet = new GuidedReviewSheet(this);
    connect(m_attention->reviewEntry(), &GuidedReviewEntryCard::startRequested, this,
            &DashboardView::startReview);
    connect(m_sheet, &GuidedReviewSheet::skipRequested, this, &DashboardView::skipCard);
    connect(m_sheet, &GuidedReviewSheet::actRequested, this, &DashboardView::actOnCard);
    connect(m_sheet, &GuidedReviewSheet::closeRequested, this, &DashboardView::closeReview);

    connect(&appState, &AppState::snapshotChanged, this, &DashboardView::refresh);
    connect(&appState, &AppState::hasFirstSampleChanged, this, &DashboardView::refresh);
    connect(&health, &HealthCheck::junkChanged, this, &DashboardView::refresh);
    connect(&health, &HealthCheck::bigFilesChanged, this, &DashboardView::refresh);
    connect(&health, &HealthCheck::lastRunChanged, this, &DashboardView::refresh);
    refresh();
}

DashboardView::~DashboardView() = default;

QList<RecCard> DashboardView::makeRecommendations(const SystemSnapshot& snapshot) const {
    return Recommendations::make(snapshot, m_health.junk(), m_health.bigFiles());
}

void DashboardView::openRecommendation(const RecCard& card) {
    Recommendations::open(card, m_screen, NotificationCenter::defaultCenter());
}

void DashboardView::refresh() {
    if (!m_appState.hasFirstSample()) {
        m_stack->showPhase(QKScanPhase::Busy);
        return;
    }
    const SystemSnapshot& s = m_appState.snapshot();
    m_cards = makeRecommendations(s);
    const bool complete = DashboardText::hasCompletedCheck(m_health.junk(), m_health.bigFiles());
    const HeadroomText::Headroom headroom = HeadroomText::headroom(s, m_health.recoverableBytes());
    const DashboardText::Status status =
        DashboardText::status(headroom.score, DashboardText::liveLevel(s));
    const int hour = m_clock.now().toLocalTime().time().hour();
    std::optional<QString> lastChecked;
    if (m_health.lastRun())
        lastChecked = DashboardText::lastCheckedLine(*m_health.lastRun());
    m_header->setContent(DashboardText::greeting(hour, m_account.fullName()), status,
                         DashboardText::countLine(int(m_cards.size()), complete, status.level),
                         lastChecked, headroom.findings.join(QLatin1Char('\n')));
    m_attention->setCards(m_cards, complete, status.level);
    m_attention->setChecking(m_health.isChecking());
    m_attention->reviewEntry()->setProgress(m_review.step, int(m_cards.size()));
    m_glance->showSnapshot(s);
    if (m_review.showing)
        m_sheet->showReview(m_cards, m_review.step);
    m_stack->showPhase(QKScanPhase::Done);
}

void DashboardView::startReview() {
    m_review.start(int(m_cards.size()));
    storeStep();
    m_sheet->showReview(m_cards, m_review.step);
    m_sheet->open();
}

void DashboardView::skipCard() {
    m_review.skip();
    storeStep();
    m_sheet->showReview(m_cards, m_review.step);
}

void DashboardView::actOnCard(const RecCard& card) {
    m_review.act();
    m_sheet->hide();
    storeStep();
    openRecommendation(card);
}

void DashboardView::closeReview() {
    m_review.close();
    if (m_sheet->isVisible())
        m_sheet->hide();
    storeStep();
}

void DashboardView::storeStep() {
    m_screen.setGuidedStep(m_review.step);
    m_attention->reviewEntry()->setProgress(m_review.step, int(m_cards.size()));
}
