#pragma once

#include "home/DashboardText.h"
#include "home/views/TintPanel.h"

#include <optional>

class QLabel;
class QKSymbol;

// The home screen's opening card: the greeting, the status of the Mac with its symbol, the
// count sentence and, once a check has finished, when it ran. The card takes the status colour
// as its wash; its tooltip lists the headroom findings behind the status.
class DashboardHeaderCard : public TintPanel {
    Q_OBJECT
public:
    explicit DashboardHeaderCard(QWidget* parent = nullptr);

    // lastChecked: the "Last checked …" line, or none to hide it.
    void setContent(const QString& greeting, const DashboardText::Status& status,
                    const QString& countLine, const std::optional<QString>& lastChecked,
                    const QString& help);

protected:
    void changeEvent(QEvent* event) override;

private:
    void applySymbolColor();

    QLabel* m_greeting = nullptr;
    QKSymbol* m_symbol = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_count = nullptr;
    QLabel* m_lastChecked = nullptr;
};
