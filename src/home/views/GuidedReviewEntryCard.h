#pragma once

#include "home/views/TintPanel.h"

class QLabel;
class QKProminentButton;

// The prompt under the recommendation cards that starts the guided review, or continues one
// left part-way ("Continue today's review"). Its button emits startRequested; the home screen
// owns the review's state and tells the card where it stands with setProgress().
class GuidedReviewEntryCard : public TintPanel {
    Q_OBJECT
public:
    explicit GuidedReviewEntryCard(QWidget* parent = nullptr);

    // The review's step and the number of cards now.
    void setProgress(int step, int cards);

    QKProminentButton* button() const { return m_button; }

signals:
    void startRequested();

private:
    QLabel* m_title;
    QKProminentButton* m_button;
};
