#pragma once

#include <array>
#include <QStackedWidget>

// The phases every scan goes through, as a screen shows them.
enum class QKScanPhase { Idle, Busy, Done, Failed };

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

    // The phase of a scan's state kind: any enum with the cases Idle, Scanning, Done and Failed.
    template <typename Kind> static QKScanPhase phaseOf(Kind kind) {
        switch (kind) {
        case Kind::Idle:
            return QKScanPhase::Idle;
        case Kind::Scanning:
            return QKScanPhase::Busy;
        case Kind::Done:
            return QKScanPhase::Done;
        case Kind::Failed:
            return QKScanPhase::Failed;
        }
        return QKScanPhase::Idle;
    }

private:
    std::array<QWidget*, 4> m_pages{};
};
