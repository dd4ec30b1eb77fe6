#pragma once

#include "home/GuidedReview.h"
#include "home/Recommendations.h"

#include <QWidget>

class AccountName;
class AppState;
class AskTamsoStrip;
class AttentionSection;
class Clock;
class DashboardHeaderCard;
class FullDiskAccessCard;
class GlanceSection;
class GuidedReviewSheet;
class HealthCheck;
class Permissions;
class QKScanStatePages;
class ScreenState;
struct SystemSnapshot;

// The home screen: the greeting and status of the Mac, today's recommendations with the guided
// review, the Full Disk Access card while that access is missing, the at-a-glance tiles and a
// strip that asks the assistant. Until AppState has its first sample the screen is only a
// progress indicator.
//
// Everything shown is read live: the screen redraws in place on every sample and on every
// change of the health check (cards are rebuilt only when the list changes). The screen never
// starts a measurement by itself; its check buttons do. The guided review's step lives in
// ScreenState, so a new home screen offers to continue a review left part-way; its sheet starts
// closed.
//
// The services, the clock (for the greeting's time of day) and the account (for the greeting's
// name) are not owned and must outlive the screen.
class DashboardView : public QWidget {
    Q_OBJECT
public:
    DashboardView(AppState& appState, Permissions& permissions, HealthCheck& health,
                  ScreenState& screen, const Clock& clock, const AccountName& account,
                  QWidget* parent = nullptr);
    ~DashboardView() override;

    // Today's cards for a sample and the health check's current findings.
    QList<RecCard> makeRecommendations(const SystemSnapshot& snapshot) const;
    // Opens the card's section (Recommendations::open on the default notification centre).
    void openRecommendation(const RecCard& card);

    const GuidedReview& review() const { return m_review; }
    // Start or continue the guided review (the entry card's button).
    void startReview();

    AttentionSection* attention() const { return m_attention; }
    GuidedReviewSheet* reviewSheet() const { return m_sheet; }

private:
    void refresh();
    void skipCard();
    void actOnCard(const RecCard& card);
    void closeReview();
    // Writes the review's step to ScreenState and redraws the entry card.
    void storeStep();

    AppState& m_appState;
    HealthCheck& m_health;
    ScreenState& m_screen;
    const Clock& m_clock;
    const AccountName& m_account;
    GuidedReview m_review;
    QList<RecCard> m_cards; // as last drawn

    QKScanStatePages* m_stack;
    QWidget* m_progress;
    QWidget* m_page;
    DashboardHeaderCard* m_header;
    AttentionSection* m_attention;
    FullDiskAccessCard* m_fullDiskAccess;
    GlanceSection* m_glance;
    AskTamsoStrip* m_ask;
    GuidedReviewSheet* m_sheet;
};
