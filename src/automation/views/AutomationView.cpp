#include "automation/views/AutomationView.h"

#include "automation/AutomationStore.h"
#include "automation/AutomationText.h"
#include "automation/views/AutomationRuleRow.h"
#include "platform/SymbolName.h"
#include "shell/RunModeManager.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLineLabel.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AutomationView::AutomationView(AutomationStore& store, RunModeManager* runMode, QWidget* parent)
    : QWidget(parent), m_store(store), m_runMode(runMode), m_hold(this) {
    setObjectName(QStringLiteral("automationView"));
    setWindowTitle(AutomationText::title());
    setAccessibleName(AutomationText::title());
    QVBoxLayout* page = nullptr;
    QKBuild::introPage(page, this, AutomationText::description())
        ->setObjectName(QStringLiteral("automationDescription"));
    QWidget* content = page->parentWidget();

    using namespace QKLayout;
    Box parts = items({});
    for (const AutomationRule& rule : AutomationRule::all()) {
        auto* ruleRow = new AutomationRuleRow(rule, content);
        connect(ruleRow, &AutomationRuleRow::switchTurned, this,
                [this](const QString& id, bool on) { m_store.setEnabled(on, id); });
        connect(ruleRow, &AutomationRuleRow::runNowClicked, this,
                [this](const AutomationRule& r) { m_store.runNow(r); });
        parts.add(ruleRow);
        m_rows << ruleRow;
    }
    QKGroupBox* box = nullptr;
    parts.add(
        part(box = new QKGroupBox(QString(), 8, content)).name(QStringLiteral("schedulingBox")));
    parts.fillPage(page);

    items({new QKIconLabel("clock.badge.checkmark"_sym, AutomationText::howTitle(),
                           QKFont{.style = TextStyle::Headline}, QKForeground::Primary, box),
           QKBuild::label(AutomationText::howBody(), TextStyle::Caption, QKForeground::Secondary,
                          box),
           part(m_tip = QKBuild::label(AutomationText::windowOnlyTip(), TextStyle::Caption,
                                       QKForeground::Orange, box))
               .name(QStringLiteral("runModeTip")),
           row(10, {part(m_check = QKBuild::button(AutomationText::checkNow(), false, box))
                        .name(QStringLiteral("checkSchedules")),
                    part(m_status = new QKLineLabel(QString(), box))
                        .name(QStringLiteral("automationStatus"))
                        .font(TextStyle::Caption)
                        .stretch(1)})})
        .fill(box->column());

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
    if (busy) {
        QList<QWidget*> controls{m_check};
        for (const AutomationRuleRow* r : std::as_const(m_rows))
            controls << r->controls();
        m_hold.hold(controls);
    }
    for (AutomationRuleRow* r : std::as_const(m_rows)) {
        const auto it = m_store.states().constFind(r->rule().id);
        const std::optional<AutomationRuleState> state =
            it == m_store.states().cend() ? std::nullopt : std::optional(*it);
        r->setRuleState(state, running == r->rule().id, busy);
    }
    m_check->setEnabled(!busy);
    if (!busy)
        m_hold.giveBack();
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
