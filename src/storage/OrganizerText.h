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
QString applyButton();                  // "Apply selected"
QString undoTitle();                    // "Undo"
QString undoButton();                   // "Undo"
QString selectedCount(qsizetype count); // "N selected"
QString leftAlone(qsizetype count);     // "N left alone"
// "N moves · <abbreviated date> at <short time>"
QString runLine(qsizetype moves, const QDateTime& startedAt, const QLocale& locale = QLocale(),
                const std::optional<QTimeZone>& zone = std::nullopt);
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
bool applyEnabled(const FolderOrganizer::State& state, const std::optional<OrganizerPlan>& plan);
bool undoEnabled(const FolderOrganizer::State& state);
// The runs offered for undo: not undone and with at least one completed move, in order.
QList<OrganizerJournal> undoableRuns(const QList<OrganizerJournal>& history);

} // namespace OrganizerText
