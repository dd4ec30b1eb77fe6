#pragma once

#include "home/Recommendations.h"
#include "ui-kit/QKCardSurface.h"

#include <functional>

class QLabel;
class QKProminentButton;
class SymbolTile;

// One recommendation card of the home screen: its icon on a tinted tile beside the title, why
// it matters, what leaving it costs, and one small button tinted like the card that calls
// onOpen with the card. The tint follows the severity (Recommendations::tone).
class RecommendationCardView : public QKCardSurface {
    Q_OBJECT
public:
    using OpenAction = std::function<void(const RecCard&)>;

    RecommendationCardView(const RecCard& card, OpenAction onOpen, QWidget* parent = nullptr);

    const RecCard& card() const { return m_card; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyTint();

    RecCard m_card;
    OpenAction m_onOpen;
    SymbolTile* m_icon;
    QLabel* m_title = nullptr;
    QKProminentButton* m_action = nullptr;
};
