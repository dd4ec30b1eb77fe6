#pragma once

#include <QList>
#include <QWidget>

class QKBadge;
class QKProminentButton;

// The Subscriptions section: three fixed example insights about paid software, a note on how
// the feature works and a button that opens the Apps section (in whichever pane it was left).
// It reads nothing and keeps nothing.
class SubscriptionIntelligenceView : public QWidget {
    Q_OBJECT
public:
    explicit SubscriptionIntelligenceView(QWidget* parent = nullptr);

    QList<QKBadge*> badges() const { return m_badges; }

private:
    QList<QKBadge*> m_badges;
    QKProminentButton* m_review;
};
