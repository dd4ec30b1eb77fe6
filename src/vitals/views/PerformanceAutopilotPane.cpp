#include "vitals/views/PerformanceAutopilotPane.h"

#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/ToggleSwitch.h"
#include "vitals/PerformanceAutopilot.h"
#include "vitals/PerformanceText.h"
#include "vitals/views/PerformanceWidgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace PerformanceWidgets;
using namespace QKBuild;

PerformanceAutopilotPane::PerformanceAutopilotPane(PerformanceAutopilot* autopilot, QWidget* parent)
    : PerformanceGroupBox(PerformanceText::autopilotTitle(), 10, parent), m_autopilot(autopilot) {
    QWidget* body = card();
    namespace L = QKLayout; // unqualified, column() is the group box's own
    using L::part;
    L::items(
        {
            part(m_enabled = new ToggleSwitch(PerformanceText::autopilotSuggestSwitch(), body))
                .name(QStringLiteral("autopilotEnabled")),
            part(m_autoQuit = new ToggleSwitch(PerformanceText::autopilotAutoQuitSwitch(), body))
                .name(QStringLiteral("autopilotAutoQuit")),
            part(m_saveError = label(QString(), TextStyle::Caption, QKForeground::Orange, body))
                .name(QStringLiteral("autopilotSaveError")),
            label(PerformanceText::autopilotProtectedNote(), TextStyle::Caption,
                  QKForeground::Secondary, body),
            part(m_lastAction = label(QString(), TextStyle::Caption, QKForeground::Green, body))
                .name(QStringLiteral("autopilotLastAction")),
            part(m_quitNotice = label(QString(), TextStyle::Caption, QKForeground::Orange, body))
                .name(QStringLiteral("autopilotQuitNotice")),
            part(m_nothing = label(PerformanceText::autopilotNothing(), TextStyle::Caption,
                                   QKForeground::Secondary, body))
                .name(QStringLiteral("autopilotNothing")),
            part(m_rowsHost = new QWidget(body))
                .name(QStringLiteral("autopilotRows"))
                .holding(L::column({0, 0, 0, 0}, 4, {})),
        })
        .fill(column());
    if (autopilot) {
        connect(m_enabled, &ToggleSwitch::toggled, autopilot, [this](bool on) {
            if (m_autopilot && m_autopilot->enabled() != on)
                m_autopilot->setEnabled(on);
        });
        connect(m_autoQuit, &ToggleSwitch::toggled, autopilot, [this](bool on) {
            if (m_autopilot && m_autopilot->autoQuit() != on)
                m_autopilot->setAutoQuit(on);
        });
        connect(autopilot, &PerformanceAutopilot::enabledChanged, this, [this] {
            showSwitches();
            showCandidates();
        });
        connect(autopilot, &PerformanceAutopilot::autoQuitChanged, this,
                &PerformanceAutopilotPane::showSwitches);
        connect(autopilot, &PerformanceAutopilot::saveErrorChanged, this,
                &PerformanceAutopilotPane::showSaveError);
        connect(autopilot, &PerformanceAutopilot::lastActionChanged, this,
                &PerformanceAutopilotPane::showLastAction);
        connect(autopilot, &PerformanceAutopilot::candidatesChanged, this,
                &PerformanceAutopilotPane::showCandidates);
    }
    showSwitches();
    showSaveError();
    showLastAction();
    showCandidates();
}

void PerformanceAutopilotPane::showSaveError() {
    const QString error = m_autopilot ? m_autopilot->saveError() : QString();
    m_saveError->setText(error);
    m_saveError->setVisible(!error.isEmpty());
}

void PerformanceAutopilotPane::showSwitches() {
    const bool enabled = m_autopilot && m_autopilot->enabled();
    m_enabled->setChecked(enabled);
    m_autoQuit->setChecked(m_autopilot && m_autopilot->autoQuit());
    m_autoQuit->setEnabled(enabled);
    m_enabled->setEnabled(m_autopilot != nullptr);
}

void PerformanceAutopilotPane::showLastAction() {
    const QString action = m_autopilot ? m_autopilot->lastAction() : QString();
    m_lastAction->setText(action);
    m_lastAction->setVisible(!action.isEmpty());
}

PerformanceAutopilotPane::Row PerformanceAutopilotPane::makeRow(const AutopilotCandidate& c) {
    const QString name = c.name;
    const qint64 pid = c.pid;
    Row row;
    row.pid = pid;
    row.widget = new QWidget(m_rowsHost);
    auto* line = new QHBoxLayout(row.widget);
    line->setContentsMargins(0, 2, 0, 2);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    row.name = label(name, TextStyle::Body, QKForeground::Primary, row.widget, std::nullopt, false);
    row.reason = label(QString(), TextStyle::Caption, QKForeground::Secondary, row.widget,
                       std::nullopt, false);
    texts->addWidget(row.name);
    texts->addWidget(row.reason);
    line->addLayout(texts, 1);
    row.protect = button(PerformanceText::protectButton(), true, row.widget);
    auto* quit = new QKProminentButton(PerformanceText::quitButton(), row.widget);
    quit->setSmall(true);
    row.quit = quit;
    line->addWidget(row.protect, 0, Qt::AlignVCenter);
    line->addWidget(row.quit, 0, Qt::AlignVCenter);

    // The autopilot may drop this row's candidate from inside these handlers; rows are only ever
    // deleted later (deleteLater), so the button outlives its own click.
    connect(row.protect, &QPushButton::clicked, this, [this, name] {
        if (m_autopilot)
            m_autopilot->protect(name);
    });
    connect(row.quit, &QPushButton::clicked, this, [this, pid, name] { quitRow(pid, name); });
    return row;
}

void PerformanceAutopilotPane::quitRow(qint64 pid, const QString& name) {
    if (!m_autopilot)
        return;
    QString notice;
    switch (m_autopilot->quit(pid, name, false)) {
    case PerformanceAutopilot::QuitResult::Asked:
        break;
    case PerformanceAutopilot::QuitResult::NotRunning:
        notice = PerformanceText::autopilotNotRunning(name);
        break;
    case PerformanceAutopilot::QuitResult::NotDelivered:
        notice = PerformanceText::autopilotNotDelivered(name);
        break;
    }
    m_quitNotice->setText(notice);
    showCandidates();
}

void PerformanceAutopilotPane::showCandidates() {
    const bool enabled = m_autopilot && m_autopilot->enabled();
    const QList<AutopilotCandidate> candidates =
        m_autopilot ? m_autopilot->candidates() : QList<AutopilotCandidate>();

    bool sameApps = candidates.size() == m_rows.size();
    for (int i = 0; sameApps && i < candidates.size(); ++i)
        sameApps = m_rows.at(i).pid == candidates.at(i).pid &&
                   m_rows.at(i).name->text() == candidates.at(i).name;
    if (!sameApps) {
        for (const Row& row : std::as_const(m_rows)) {
            row.widget->hide();
            row.widget->deleteLater();
        }
        m_rows.clear();
        for (const AutopilotCandidate& c : candidates) {
            Row row = makeRow(c);
            m_rowsHost->layout()->addWidget(row.widget);
            row.widget->show(); // at once, not when the layout's queued show gets to run
            m_rows.append(row);
        }
    }
    for (int i = 0; i < candidates.size(); ++i)
        m_rows[i].reason->setText(candidates.at(i).reason);

    m_nothing->setVisible(enabled && candidates.isEmpty());
    m_quitNotice->setVisible(enabled && !m_quitNotice->text().isEmpty());
    m_rowsHost->setVisible(enabled && !candidates.isEmpty());
}
