#include "storage/OrganizerText.h"

#include "platform/ByteFormat.h"
#include "platform/CountText.h"
#include "platform/TextConstant.h"

#include <QRegularExpression>

namespace OrganizerText {

using Kind = FolderOrganizer::State::Kind;

PENDREL_TEXT(title, "Folder Organizer")
PENDREL_TEXT(subtitle, "Preview a tidy plan, apply it, and undo within 30 days.")
PENDREL_TEXT(previewButton, "Preview plan")
PENDREL_TEXT(askPrompt, "Ask Pendrel how to tidy Downloads")
PENDREL_TEXT(askQuestion, "How should I organise my Downloads folder?")
PENDREL_TEXT(rulesTitle, "Rules")
PENDREL_TEXT(downloadsToggle, "Organise Downloads")
PENDREL_TEXT(desktopToggle, "Organise Desktop")
QString stepperLabel(int days) {
    return QStringLiteral("Leave files changed in the last ") + CountText::of(days, "day", "days");
}
PENDREL_TEXT(kindsNote, "Files are grouped into Images, Documents, Video, Audio, Installers and "
                        "archives, or Other — still inside the same folder.")
PENDREL_TEXT(previewTitle, "Preview")
PENDREL_TEXT(planListName, "Planned moves")
PENDREL_TEXT(applyButton, "Apply selected")
PENDREL_TEXT(undoTitle, "Undo")
PENDREL_TEXT(undoButton, "Undo")
QString selectedCount(qsizetype count) {
    return QStringLiteral("%1 selected").arg(count);
}
QString leftAlone(qsizetype count) {
    return QStringLiteral("%1 left alone").arg(count);
}

PENDREL_TEXT(planning, "Building a preview…")

QString nameFrom(const QString& name, const QString& folder) {
    return QStringLiteral("%1 · from %2").arg(name, folder);
}

QString rowDescription(const QString& reason, const QString& newName, qint64 bytes) {
    return QStringLiteral("%1 New name: %2. %3.").arg(reason, newName, formatBytes(bytes));
}

QString journalNotSaved(const QString& reason) {
    return QStringLiteral("Could not save the undo record (%1). Nothing was moved.").arg(reason);
}

QString applyStopped(int moved, const QString& reason) {
    return QStringLiteral("Stopped after moving %1: the undo record could not be saved (%2). "
                          "Everything moved so far can be undone.")
        .arg(CountText::of(moved, "item", "items"), reason);
}

QString undoShortfall(int restored, int notRestored) {
    return QStringLiteral("Moved back %1 of %2. %3 could not be moved back.")
        .arg(restored)
        .arg(CountText::of(restored + notRestored, "item", "items"))
        .arg(notRestored);
}

QString undoStopped(int restored, int total, const QString& reason) {
    return QStringLiteral("Stopped after moving back %1 of %2: the undo record could not be "
                          "saved (%3). The rest can be undone later.")
        .arg(restored)
        .arg(CountText::of(total, "item", "items"), reason);
}

QString runLine(qsizetype moves, const QDateTime& startedAt, const QLocale& locale,
                const std::optional<QTimeZone>& zone) {
    const QDateTime local = zone ? startedAt.toTimeZone(*zone) : startedAt.toLocalTime();
    // Some locales' short time carries seconds; a shortened time never does.
    static const QRegularExpression seconds(QStringLiteral(R"([:.]ss(\.z+)?)"));
    const QString time = locale.timeFormat(QLocale::ShortFormat).remove(seconds);
    return CountText::of(moves, "move", "moves") + QStringLiteral(" · ") +
           locale.toString(local.date(), QStringLiteral("MMM d, yyyy")) + QStringLiteral(" at ") +
           locale.toString(local.time(), time);
}

Status status(const FolderOrganizer::State& state, const std::optional<OrganizerPlan>& plan) {
    switch (state.kind) {
    case Kind::Idle:
        return {};
    case Kind::Planning:
        return {}; // the preview box says it (planning())
    case Kind::Ready:
        if (!plan)
            return {};
        return {Status::Look::Plain, CountText::of(plan->selectedCount(), "move", "moves") +
                                         QStringLiteral(" · ") +
                                         formatBytes(plan->selectedBytes())};
    case Kind::Running:
        return {Status::Look::Progress,
                QStringLiteral("Moving %1 of %2…").arg(state.done).arg(state.total)};
    case Kind::Undoing:
        return {Status::Look::Progress,
                QStringLiteral("Undoing %1 of %2…").arg(state.done).arg(state.total)};
    case Kind::Finished:
        if (state.undo && state.failed > 0)
            return {Status::Look::Orange, undoShortfall(state.moved, state.failed)};
        if (state.failed == 0)
            return {Status::Look::Green, QStringLiteral("Done. Moved ") +
                                             CountText::of(state.moved, "item", "items") +
                                             QLatin1Char('.')};
        return {
            Status::Look::Orange,
            QStringLiteral("Moved %1. %2 needed attention.").arg(state.moved).arg(state.failed)};
    case Kind::Failed:
        return {Status::Look::Orange, state.message};
    }
    return {};
}

bool previewEnabled(const FolderOrganizer::State& state) {
    return state.kind != Kind::Planning && !state.isBusy();
}

bool applyEnabled(const FolderOrganizer::State& state, const std::optional<OrganizerPlan>& plan) {
    if (state.isBusy() || state.kind == Kind::Planning || !plan || plan->spent)
        return false;
    for (const OrganizerMove& m : plan->moves)
        if (m.isEnabled)
            return true;
    return false;
}

bool undoEnabled(const FolderOrganizer::State& state) {
    return !state.isBusy();
}

QList<OrganizerJournal> undoableRuns(const QList<OrganizerJournal>& history) {
    QList<OrganizerJournal> out;
    for (const OrganizerJournal& j : history)
        if (!j.undoneAt && !j.completed.isEmpty())
            out.append(j);
    return out;
}

} // namespace OrganizerText
