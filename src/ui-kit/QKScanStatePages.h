#pragma once

#include <array>
#include <QStackedWidget>

// The phases every scan goes through, as a screen shows them. Empty is a scan done that found
// nothing to list, for screens that say so on a page of its own.
enum class QKScanPhase { Idle, Busy, Done, Failed, Empty };

// The body of a screen fed by a scan: one page per phase, and one switch from the scan's state
// to the page on show. A page may serve several phases; the stack owns its pages. A phase without
// a page leaves on show what was. Being a QStackedWidget, the body may also raise a page of its
// own directly (a list that shows while a scan is still under way).
class QKScanStatePages : public QStackedWidget {
    Q_OBJECT
public:
    explicit QKScanStatePages(QWidget* parent = nullptr);

    // Sets the page of a phase and returns it. Pages stack in the order they are first set.
    QWidget* setPage(QKScanPhase phase, QWidget* page);
    // Null where the phase has no page.
    QWidget* page(QKScanPhase phase) const;

    // Raises the page of the phase. For Failed, a failure page that is a QKEmptyState takes
    // `failure` as its explanation.
    void showPhase(QKScanPhase phase, const QString& failure = QString());
    // True while the page on show is the phase's page.
    bool isShowing(QKScanPhase phase) const;

    // The page for a scan's phase as its slot keeps it (ScanPhase: Idle, Running, Done,
    // Failed; the kit does not see that type). A finished scan is Empty instead of Done when
    // `nothingFound` is set.
    template <typename Phase> static QKScanPhase phaseOf(Phase phase, bool nothingFound = false) {
        if (phase == Phase::Idle)
            return QKScanPhase::Idle;
        if (phase == Phase::Failed)
            return QKScanPhase::Failed;
        if (phase == Phase::Running)
            return QKScanPhase::Busy;
        return nothingFound ? QKScanPhase::Empty : QKScanPhase::Done;
    }

private:
    std::array<QWidget*, 5> m_pages{};
};
