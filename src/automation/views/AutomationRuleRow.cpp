#include "automation/views/AutomationRuleRow.h"

#include "automation/AutomationText.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKSpinner.h"
#include "ui-kit/QKSymbol.h"
#include "ui-kit/QKWrapLabel.h"
#include "ui-kit/ToggleSwitch.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AutomationRuleRow::AutomationRuleRow(const AutomationRule& rule, QWidget* parent)
    : QWidget(parent), m_rule(rule) {
    setObjectName(QStringLiteral("rule-") + rule.id);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* box = new QKGroupBox(QString(), 10, this);
    outer->addWidget(box);
    QVBoxLayout* column = box->column();

    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    auto* icon =
        new QKSymbol(rule.icon, QKFont{.style = TextStyle::Title2}, QKForeground::Tint, box);
    icon->setFixedWidth(32);
    top->addWidget(icon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    QLabel* title = QKBuild::label(rule.title, TextStyle::Headline, QKForeground::Primary, box);
    title->setObjectName(QStringLiteral("ruleTitle"));
    texts->addWidget(title);
    texts->addWidget(QKBuild::label(rule.scheduleLabel, TextStyle::Caption, QKForeground::Secondary,
                                    box, QFont::DemiBold));
    texts->addWidget(QKBuild::label(rule.detail, TextStyle::Callout, QKForeground::Secondary, box));
    top->addLayout(texts, 1);
    m_toggle = new ToggleSwitch(QString(), box);
    m_toggle->setAccessibleName(rule.title);
    m_toggle->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    top->addWidget(m_toggle, 0, Qt::AlignTop);
    column->addLayout(top);

    auto* statusRow = new QHBoxLayout;
    m_running = new QWidget(box);
    auto* running = QKBuild::insetRow(m_running, {0, 0, 0, 0}, 6);
    m_spinner = new QKSpinner(m_running);
    QKFont::apply(m_spinner, TextStyle::Caption);
    QKForeground::apply(m_spinner, QKForeground::Secondary);
    running->addWidget(m_spinner);
    running->addWidget(QKBuild::label(AutomationText::rowStatus(std::nullopt, true),
                                      TextStyle::Caption, QKForeground::Secondary, m_running,
                                      std::nullopt, false));
    statusRow->addWidget(m_running);
    // One line, cut at its end when the row is narrow, so the "Run now" beside it stays in view.
    m_status = new QKLineLabel(QString(), box);
    QKFont::apply(m_status, TextStyle::Caption2);
    QKForeground::apply(m_status, QKForeground::Tertiary);
    m_status->setObjectName(QStringLiteral("ruleStatus"));
    statusRow->addWidget(m_status);
    statusRow->addStretch(1);
    m_runNow = QKBuild::button(AutomationText::runNow(), true, box);
    m_runNow->setObjectName(QStringLiteral("runNow"));
    statusRow->addWidget(m_runNow);
    column->addLayout(statusRow);

    // A stored result may hold a path or a hash with no space in it: it wraps anywhere rather
    // than widen the page.
    m_result = new QKWrapLabel(QString(), box);
    QKFont::apply(m_result, TextStyle::Caption);
    QKForeground::apply(m_result, QKForeground::Secondary);
    m_result->setObjectName(QStringLiteral("ruleResult"));
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(m_result);

    connect(m_toggle, &ToggleSwitch::clicked, this,
            [this](bool on) { emit switchTurned(m_rule.id, on); });
    connect(m_runNow, &QPushButton::clicked, this, [this] { emit runNowClicked(m_rule); });
    setRuleState(std::nullopt, false, false);
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
}

QString AutomationRuleRow::statusText() const {
    return m_running->isVisibleTo(this) ? AutomationText::rowStatus(std::nullopt, true)
                                        : m_status->text();
}

bool AutomationRuleRow::showsSpinner() const {
    return m_running->isVisibleTo(this);
}

QString AutomationRuleRow::resultText() const {
    return m_result->isVisibleTo(this) ? m_result->text() : QString();
}
