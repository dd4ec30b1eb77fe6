#pragma once

#include <QWidget>

class QKProminentButton;

// The Subscriptions section: three fixed example insights about paid software, a note on how
// the feature works and a button that opens the Apps section (in whichever pane it was left).
// It reads nothing and keeps nothing.
class SubscriptionIntelligenceView : public QWidget {
    Q_OBJECT
public:
    explicit SubscriptionIntelligenceView(QWidget* parent = nullptr);

private:
    QKProminentButton* m_review;
};
