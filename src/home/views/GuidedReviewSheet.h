#pragma once

#include "home/Recommendations.h"

#include <QDialog>
#include <QList>

class QLabel;
class QProgressBar;
class QStackedWidget;
class QKProminentButton;
class QKSymbolButton;
class QPushButton;
class SymbolTile;

// The guided review's sheet over the home screen: one recommendation at a time (why it matters,
// what happens if it is left, "Skip" and the card's own action), then "You're all caught up".
// It keeps no state of its own: the home screen owns the review (GuidedReview) and redraws the
// sheet with showReview() whenever the step or the card list changes. What the user asks for
// comes back as signals; closeRequested also covers Escape and the window's close button.
// It is a dialog of the window its parent sits in (kept above it, never in the taskbar), with a
// title and a close button but nothing to minimise or maximise it.
class GuidedReviewSheet : public QDialog {
    Q_OBJECT
public:
    explicit GuidedReviewSheet(QWidget* parent = nullptr);

    // The card at GuidedReview::shownIndex(step, n), or the finished view when the review is
    // finished or there are no cards.
    void showReview(const QList<RecCard>& cards, int step);

    QPushButton* skipButton() const { return m_skip; }
    QKProminentButton* doneButton() const { return m_done; }

signals:
    void skipRequested();
    void actRequested(const RecCard& card);
    void closeRequested();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildStep();
    QWidget* buildFinished();
    void applyTint();

    RecCard m_card;
    QStackedWidget* m_pages = nullptr;
    QWidget* m_stepPage = nullptr;
    QWidget* m_finishedPage = nullptr;
    QLabel* m_header = nullptr;
    QKSymbolButton* m_close = nullptr;
    QProgressBar* m_progress = nullptr;
    SymbolTile* m_icon = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_why = nullptr;
    QLabel* m_ifIgnored = nullptr;
    QPushButton* m_skip = nullptr;
    QKProminentButton* m_action = nullptr;
    QKProminentButton* m_done = nullptr;
};
