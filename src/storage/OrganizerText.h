#pragma once

#include "storage/FolderOrganizer.h"

#include <optional>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTimeZone>

// The wording of the organizer pane and which of its buttons work, by the organizer's state.
namespace OrganizerText {

QString title();         // "Folder Organizer"
QString subtitle();      // "Preview a tidy plan, apply it, and undo within 30 days."
QString previewButton(); // "Preview plan"
QString askPrompt();     // "Ask Pendrel how to tidy Downloads"
QString askQuestion();   // "How should I organise my Downloads folder?"
QString rulesTitle();    // "Rules"
QString downloadsToggle();
QString desktopToggle();
// "Leave files changed in the last N days"
QString stepperLabel(int days);
QString kindsNote();
QString previewTitle();                 // "Preview"
QString planListName();                 // the plan's list, to assistive technology: "Planned moves"
QString applyButton();                  // "Apply selected"
QString undoTitle();                    // "Undo"
QString undoButton();                   // "Undo"
QString selectedCount(qsizetype count); // "N selected"
QString leftAlone(qsizetype count);     // "N left alone"
// The preview box while the plan is being built: "Building a preview…"
QString planning();
// A row's name where another row of the plan has the same one: "<name> · from <folder>", the
// folder it is taken from.
QString nameFrom(const QString& name, const QString& folder);
// What assistive technology reads after a row's name: "<reason> New name: <name>. <size>."
QString rowDescription(const QString& reason, const QString& newName, qint64 bytes);
// "N moves · <abbreviated date> at <short time>"
QString runLine(qsizetype moves, const QDateTime& startedAt, const QLocale& locale = QLocale(),
                const std::optional<QTimeZone>& zone = std::nullopt);
// The state line when a run's undo record could not be saved before its first move:
// "Could not save the undo record (<reason>). Nothing was moved."
QString journalNotSaved(const QString& reason);
// When it could not be saved in the middle of the run, which stopped there: "Stopped after
// moving N items: the undo record could not be saved (<reason>). Everything moved so far can be
// undone."
QString applyStopped(int moved, const QString& reason);
// An undo that could not put every file back: "Moved back N of M items. K could not be moved
// back."
QString undoShortfall(int restored, int notRestored);
// An undo stopped because its steps could not be recorded: "Stopped after moving back N of M
// items: the undo record could not be saved (<reason>). The rest can be undone later."
QString undoStopped(int restored, int total, const QString& reason);
// The stepper's range.
constexpr int kMinDays = 0;
constexpr int kMaxDays = 60;

// The status line under the rules.
struct Status {
    enum class Look { None, Progress, Plain, Green, Orange };
    Look look = Look::None;
    QString text;
    bool operator==(const Status&) const = default;
};
Status status(const FolderOrganizer::State& state, const std::optional<OrganizerPlan>& plan);

bool previewEnabled(const FolderOrganizer::State& state);
// Apply works on a plan with a tick that no apply has spent yet, while nothing runs and no new
// plan is being built.
bool applyEnabled(const FolderOrganizer::State& state, const std::optional<OrganizerPlan>& plan);
bool undoEnabled(const FolderOrganizer::State& state);
// The runs offered for undo: not undone and with at least one completed move, in order.
QList<OrganizerJournal> undoableRuns(const QList<OrganizerJournal>& history);

} // namespace OrganizerText
