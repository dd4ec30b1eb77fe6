#include "automation/views/AutomationRuleRow.h"

#include "automation/AutomationText.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKSpinner.h"
#include "ui-kit/QKSymbol.h"
#include "ui-kit/QKWrapLabel.h"
#include "ui-kit/ToggleSwitch.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AutomationRuleRow::AutomationRuleRow(const AutomationRule& rule, QWidget* parent)
    : QWidget(parent), m_rule(rule) {
    setObjectName(QStringLiteral("rule-") + rule.id);
    using namespace QKLayout;
    auto* box = new QKGroupBox(QString(), 10, this);
    flushColumn({part(box)}).on(this);
    column(
        {row(12, {part(new QKSymbol(rule.icon, QKFont{.style = TextStyle::Title2},
                                    QKForeground::Tint, box))
                      .with([](QKSymbol* icon) { icon->setFixedWidth(32); })
                      .align(Qt::AlignTop),
                  column(4, {part(QKBuild::label(rule.title, TextStyle::Headline,
                                                 QKForeground::Primary, box))
                                 .name(QStringLiteral("ruleTitle")),
                             part(QKBuild::label(rule.scheduleLabel, TextStyle::Caption,
                                                 QKForeground::Secondary, box, QFont::DemiBold)),
                             part(QKBuild::label(rule.detail, TextStyle::Callout,
                                                 QKForeground::Secondary, box))})
                      .stretch(1),
                  part(m_toggle = new ToggleSwitch(QString(), box))
                      .name(QStringLiteral("ruleSwitch"))
                      .accessibleName(rule.title)
                      .with([](ToggleSwitch* t) {
                          t->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
                      })
                      .align(Qt::AlignTop)}),
         row({part(m_running = new QWidget(box))
                  .name(QStringLiteral("ruleRunning"))
                  .holding(row({0, 0, 0, 0}, 6,
                               {part(m_spinner = new QKSpinner(m_running))
                                    .font(TextStyle::Caption)
                                    .ink(QKForeground::Secondary),
                                part(QKBuild::label(AutomationText::rowStatus(std::nullopt, true),
                                                    TextStyle::Caption, QKForeground::Secondary,
                                                    m_running, std::nullopt, false))
                                    .name(QStringLiteral("ruleRunningText"))})),
              // One line, cut at its end when the row is narrow, so the "Run now" beside it
              // stays in view.
              part(m_status = new QKLineLabel(QString(), box))
                  .font(TextStyle::Caption2)
                  .ink(QKForeground::Tertiary)
                  .name(QStringLiteral("ruleStatus")),
              stretch(1),
              part(m_runNow = QKBuild::button(AutomationText::runNow(), true, box))
                  .name(QStringLiteral("runNow"))
                  .accessibleName(AutomationText::runNowAccessibleName(rule.title))}),
         // A stored result may hold a path or a hash with no space in it: it wraps anywhere
         // rather than widen the page.
         part(m_result = new QKWrapLabel(QString(), box))
             .font(TextStyle::Caption)
             .ink(QKForeground::Secondary)
             .name(QStringLiteral("ruleResult"))
             .with([](QKWrapLabel* l) { l->setTextInteractionFlags(Qt::TextSelectableByMouse); })})
        .fill(box->column());

    connect(m_toggle, &ToggleSwitch::clicked, this,
            [this](bool on) { emit switchTurned(m_rule.id, on); });
    connect(m_runNow, &QPushButton::clicked, this, [this] { emit runNowClicked(m_rule); });
    setRuleState(std::nullopt, false, false);
}

QList<QWidget*> AutomationRuleRow::controls() const {
    return {m_toggle, m_runNow};
}

void AutomationRuleRow::setRuleState(const std::optional<AutomationRuleState>& state, bool running,
                                     bool busy) {
    m_toggle->setChecked(state && state->enabled);
    m_toggle->setEnabled(!busy);
    m_runNow->setEnabled(!busy);
    m_running->setVisible(running);
    m_status->setVisible(!running);
    if (!running)
        m_status->setText(AutomationText::rowStatus(state, false));
    const bool hasResult = state && state->lastResult;
    m_result->setText(hasResult ? *state->lastResult : QString());
    m_result->setVisible(hasResult);
    QKForeground::apply(m_result, hasResult && state->lastResultIsProblem
                                      ? QKForeground::Red
                                      : QKForeground::Secondary);
}
