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

    // The phase of a scan's state kind: any enum with the cases Idle and Failed, one busy case
    // (Scanning, Searching or Loading) and one finished case (Done or Ready). A finished scan is
    // Empty instead of Done when `nothingFound` is set.
    template <typename Kind> static QKScanPhase phaseOf(Kind kind, bool nothingFound = false) {
        if (kind == Kind::Idle)
            return QKScanPhase::Idle;
        if (kind == Kind::Failed)
            return QKScanPhase::Failed;
        if (isBusy(kind))
            return QKScanPhase::Busy;
        return nothingFound ? QKScanPhase::Empty : QKScanPhase::Done;
    }

private:
    template <typename Kind> static bool isBusy(Kind kind) {
        if constexpr (requires { Kind::Running; })
            return kind == Kind::Running;
        else if constexpr (requires { Kind::Scanning; })
            return kind == Kind::Scanning;
        else if constexpr (requires { Kind::Searching; })
            return kind == Kind::Searching;
        else
            return kind == Kind::Loading;
    }

    std::array<QWidget*, 5> m_pages{};
};
