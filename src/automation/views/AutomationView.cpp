#include "automation/views/AutomationView.h"

#include "automation/AutomationStore.h"
#include "automation/AutomationText.h"
#include "automation/views/AutomationRuleRow.h"
#include "platform/SymbolName.h"
#include "shell/RunModeManager.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLineLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AutomationView::AutomationView(AutomationStore& store, RunModeManager* runMode, QWidget* parent)
    : QWidget(parent), m_store(store), m_runMode(runMode) {
    setObjectName(QStringLiteral("automationView"));
    setWindowTitle(AutomationText::title());
    QVBoxLayout* column = nullptr;
    QKBuild::introPage(column, this, AutomationText::description())
        ->setObjectName(QStringLiteral("automationDescription"));

    for (const AutomationRule& rule : AutomationRule::all()) {
        auto* row = new AutomationRuleRow(rule, this);
        connect(row, &AutomationRuleRow::switchTurned, this,
                [this](const QString& id, bool on) { m_store.setEnabled(on, id); });
        connect(row, &AutomationRuleRow::runNowClicked, this,
                [this](const AutomationRule& r) { m_store.runNow(r); });
        QKBuild::addPart(column, row);
        m_rows << row;
    }

    auto* box = new QKGroupBox(QString(), 8, this);
    box->setObjectName(QStringLiteral("schedulingBox"));
    box->column()->addWidget(
        new QKIconLabel("clock.badge.checkmark"_sym, AutomationText::howTitle(),
                        QKFont{.style = TextStyle::Headline}, QKForeground::Primary, box));
    box->column()->addWidget(QKBuild::label(AutomationText::howBody(), TextStyle::Caption,
                                            QKForeground::Secondary, box));
    m_tip = QKBuild::label(AutomationText::windowOnlyTip(), TextStyle::Caption,
                           QKForeground::Orange, box);
    m_tip->setObjectName(QStringLiteral("runModeTip"));
    box->column()->addWidget(m_tip);
    auto* line = new QHBoxLayout;
    line->setSpacing(10);
    m_check = QKBuild::button(AutomationText::checkNow(), false, box);
    m_check->setObjectName(QStringLiteral("checkSchedules"));
    line->addWidget(m_check);
    m_status = new QKLineLabel(QString(), box);
    m_status->setObjectName(QStringLiteral("automationStatus"));
    QKFont::apply(m_status, TextStyle::Caption);
    line->addWidget(m_status, 1);
    box->column()->addLayout(line);
    QKBuild::addPart(column, box);

    connect(m_check, &QPushButton::clicked, this, [this] { m_store.checkDue(); });
    connect(&store, &AutomationStore::statesChanged, this, &AutomationView::showStates);
    connect(&store, &AutomationStore::isRunningChanged, this, &AutomationView::showStates);
    connect(&store, &AutomationStore::runningRuleIDChanged, this, &AutomationView::showStates);
    connect(&store, &AutomationStore::statusMessageChanged, this, &AutomationView::showStatus);
    if (runMode)
        connect(runMode, &RunModeManager::modeChanged, this, &AutomationView::showTip);
    showStates();
    showStatus();
    showTip();
}

void AutomationView::showStates() {
    const bool busy = m_store.isRunning();
    const std::optional<QString> running = m_store.runningRuleID();
    for (AutomationRuleRow* r : std::as_const(m_rows)) {
        const auto it = m_store.states().constFind(r->rule().id);
        const std::optional<AutomationRuleState> state =
            it == m_store.states().cend() ? std::nullopt : std::optional(*it);
        r->setRuleState(state, running == r->rule().id, busy);
    }
    m_check->setEnabled(!busy);
}

void AutomationView::showStatus() {
    const std::optional<QString> message = m_store.statusMessage();
    m_status->setVisible(message.has_value());
    m_status->setText(message.value_or(QString()));
    if (!message)
        return;
    QKForeground::Style ink = QKForeground::Green;
    if (AutomationText::statusIsProgress(*message))
        ink = QKForeground::Secondary;
    else if (m_store.statusIsProblem())
        ink = QKForeground::Red;
    QKForeground::apply(m_status, ink);
}

void AutomationView::showTip() {
    m_tip->setVisible(m_runMode && m_runMode->mode() == RunMode::WindowOnly);
}
