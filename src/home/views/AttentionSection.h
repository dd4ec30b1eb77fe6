#pragma once

#include "home/Recommendations.h"
#include "ui-kit/QKFocusHold.h"

#include <functional>
#include <QList>
#include <QWidget>

class QKGridLayout;
class GuidedReviewEntryCard;
class HealthCheck;
class QLabel;
class QKCardSurface;
class QKProminentButton;
class QKSymbol;
class RecommendationCardView;
class RefreshButton;

// "What deserves your attention": the header with the check button, then either today's
// recommendation cards in an adaptive grid with the guided review prompt under them, or, with no
// cards, one panel that asks to complete today's check (with "Check now") or says nothing needs
// the user. The check buttons start both health measurements.
//
// The home screen feeds it: setCards() with each fresh list (cards are rebuilt only when the
// list differs from the one on show) and the header's status level, setChecking() with the
// health check's state.
class AttentionSection : public QWidget {
    Q_OBJECT
public:
    using OpenAction = std::function<void(const RecCard&)>;

    AttentionSection(HealthCheck& health, OpenAction onOpen, QWidget* parent = nullptr);

    void setCards(const QList<RecCard>& cards, bool checkComplete, int level);
    void setChecking(bool checking);

    GuidedReviewEntryCard* reviewEntry() const { return m_entry; }

private:
    void runCheck();
    void rebuildCards();

    HealthCheck& m_health;
    OpenAction m_onOpen;
    QList<RecCard> m_cards;
    bool m_shownOnce = false;
    RefreshButton* m_refresh;
    QKCardSurface* m_empty;
    QKSymbol* m_emptySymbol;
    QLabel* m_emptyTitle;
    QLabel* m_emptyMessage;
    QKProminentButton* m_checkNow;
    QWidget* m_grid;
    QKGridLayout* m_gridLayout;
    GuidedReviewEntryCard* m_entry;
    // where the focus waits while a check started from one of its buttons runs
    QKFocusHold m_hold;
};
