#include "cleaning/CleanerPaneText.h"

#include "platform/ByteFormat.h"
#include "platform/CountText.h"
#include "platform/TextConstant.h"

#include <QDir>

namespace CleanerPaneText {

namespace {

const QString kSeparator = QStringLiteral(" \u00B7 ");

bool found(const CleanCategory& c) {
    return c.sizeBytes > 0 || c.fileCount > 0;
}

// "is your home folder", "holds your Music folder", …
QString refusalPredicate(const ContentsRefusal& r) {
    const QString verb = r.same ? QStringLiteral("is") : QStringLiteral("holds");
    switch (r.kind) {
    case ContentsRefusal::Kind::Home:
        return verb + QStringLiteral(" your home folder");
    case ContentsRefusal::Kind::UserFolder: {
        const QString kept = QDir::cleanPath(r.kept);
        return verb + QStringLiteral(" your ") + kept.mid(kept.lastIndexOf(QLatin1Char('/')) + 1) +
               QStringLiteral(" folder");
    }
    case ContentsRefusal::Kind::Shared:
        return verb + QStringLiteral(" a folder the whole system shares");
    case ContentsRefusal::Kind::AppFolder:
        break;
    }
    return verb + QStringLiteral(" Pendrel's own folder");
}

} // namespace

Texts systemJunk() {
    return {
        QStringLiteral("Free up space safely"),
        QStringLiteral("Pendrel explains what each item is before you delete. Everything is "
                       "previewed and reversible."),
        QStringLiteral("Pendrel checks known safe locations: caches, logs, Trash, old downloads, "
                       "Xcode build files and database backups."),
        QStringLiteral("Measuring safe-to-clean locations…"),
        QStringLiteral("Files move to the Trash so you can undo, except the Trash category itself "
                       "which is emptied for good."),
        QStringLiteral("What is safe to delete from my storage?"),
    };
}

Texts mail() {
    return {
        QStringLiteral("What your mail is costing you"),
        QStringLiteral("Attachment copies, downloaded mail and caches. Pendrel reads folder sizes "
                       "only, never a message."),
        QStringLiteral("Pendrel looks at where your mail clients keep things. It never opens a "
                       "message."),
        QStringLiteral("Measuring what your mail clients have stored…"),
        QStringLiteral("These are copies and caches. Everything goes to the Trash so you can put "
                       "it back."),
        QStringLiteral("What is my mail costing me in disk space?"),
    };
}

Texts screenshots() {
    return {
        QStringLiteral("Screenshot Cleaner"),
        QStringLiteral("Finds screenshots on Desktop, Downloads and Pictures/Screenshots, grouped "
                       "by age."),
        QStringLiteral("Pendrel looks for Screenshot, Screen Shot, CleanShot and Capture files."),
        QStringLiteral("Finding screenshots…"),
        QStringLiteral("Selected screenshots move to the Trash so you can undo."),
        QStringLiteral("Which screenshots can I safely delete?"),
    };
}

QList<CleanCategory> measuredItems(const QList<CleanCategory>& table) {
    QList<CleanCategory> out;
    for (const CleanCategory& c : table) {
        if (c.removable && (found(c) || c.refusal))
            out.append(c);
    }
    return out;
}

QList<CleanCategory> measureOnlyRows(const QList<CleanCategory>& table) {
    QList<CleanCategory> out;
    for (const CleanCategory& c : table) {
        if (!c.removable && found(c))
            out.append(c);
    }
    return out;
}

qint64 selectedBytes(const QList<CleanCategory>& table, const QSet<QString>& selected) {
    return CleanCategories::selectedBytes(table, selected);
}

bool canClean(const QList<CleanCategory>& table, const QSet<QString>& selected) {
    return CleanCategories::selectionFindsAnything(table, selected);
}

QSet<QString> preselection(const QList<CleanCategory>& table) {
    QSet<QString> safe;
    for (const CleanCategory& c : table) {
        if (c.onByDefault && c.removable && c.safety == TamsoSafety::Safe)
            safe.insert(c.id);
    }
    if (!safe.isEmpty())
        return safe;
    QSet<QString> notRisky;
    for (const CleanCategory& c : table) {
        if (c.onByDefault && c.removable && c.safety != TamsoSafety::Risky)
            notRisky.insert(c.id);
    }
    return notRisky;
}

QSet<QString> withoutRefused(const QList<CleanCategory>& table, const QSet<QString>& selected) {
    QSet<QString> out = selected;
    for (const CleanCategory& c : table) {
        if (c.refusal)
            out.remove(c.id);
    }
    return out;
}

QSet<QString> selectionAfterClean(const QList<CleanCategory>& table,
                                  const QSet<QString>& selected) {
    QSet<QString> out;
    for (const CleanCategory& c : table) {
        if (selected.contains(c.id) && c.safety == TamsoSafety::Safe && !c.refusal)
            out.insert(c.id);
    }
    return out;
}

bool showsList(const QList<CleanCategory>& table) {
    for (const CleanCategory& c : table) {
        if (c.removable ? found(c) || c.refusal : c.sizeBytes > 0)
            return true;
    }
    return false;
}

QString metaLine(const CleanCategory& category) {
    QStringList lines;
    if (category.refusal) {
        lines.append(refusalLine(*category.refusal, category.cleansFoundItems()));
    } else {
        QStringList parts;
        if (!category.consequence.isEmpty())
            parts.append(category.consequence);
        if (category.fileCount >= 1)
            parts.append(CountText::of(category.fileCount, "item", "items"));
        if (!parts.isEmpty())
            lines.append(parts.join(kSeparator));
    }
    for (const HomeLayout::IgnoredVariable& v : category.ignoredVariables)
        lines.append(ignoredVariableLine(v));
    return lines.join(QLatin1Char('\n'));
}

QString refusalLine(const ContentsRefusal& refusal, bool search) {
    return QStringLiteral("Left alone: ") + QDir::cleanPath(refusal.location) + QLatin1Char(' ') +
           refusalPredicate(refusal) +
           (search ? QStringLiteral(", so Pendrel will not search it.")
                   : QStringLiteral(", so Pendrel will not empty it."));
}

QString ignoredVariableLine(const HomeLayout::IgnoredVariable& v) {
    const QString why = v.relative ? QStringLiteral(" is not a full path")
                                   : QStringLiteral(" points at ") + v.value +
                                         QStringLiteral(", which holds more than app data");
    return v.name + why + QStringLiteral(", so Pendrel looked in ") + v.usedInstead +
           QStringLiteral(" instead.");
}

QString refusalReason(const ContentsRefusal& refusal) {
    return QStringLiteral("It ") + refusalPredicate(refusal);
}

PENDREL_TEXT(changedSinceMeasuredReason, "Changed since it was measured, so it was left in place")

QString filesText(int fileCount) {
    return CountText::of(fileCount, "file", "files");
}

namespace {

const QString kNothingCleaned = QStringLiteral("Nothing was cleaned");

// " · proj was left in place: …", or nothing when no item was refused for a mount.
QString mountedPart(const QStringList& leftMounted) {
    QString line;
    if (leftMounted.size() == 1)
        line += kSeparator + leftMounted.first() +
                QStringLiteral(" was left in place: another folder is mounted in it");
    else if (leftMounted.size() > 1)
        line += kSeparator + leftMounted.first() + QStringLiteral(" and ") +
                QString::number(leftMounted.size() - 1) +
                QStringLiteral(" more were left in place: other folders are mounted in them");
    return line;
}

} // namespace

QString resultLine(const CleanResult& r) {
    const qsizetype failed = r.failures.size();
    if (r.cleaned == 0 && failed > 0) {
        QString line = kNothingCleaned + kSeparator + CountText::of(int(failed), "item", "items") +
                       QStringLiteral(" skipped") + kSeparator + r.failures.first();
        if (failed > 1)
            line +=
                QStringLiteral(", and ") + QString::number(failed - 1) + QStringLiteral(" more");
        return line + mountedPart(r.leftMounted);
    }
    QString line = QStringLiteral("Freed ") + formatBytes(r.freedBytes);
    if (failed > 0)
        line +=
            kSeparator + CountText::of(int(failed), "item", "items") + QStringLiteral(" skipped");
    return line + mountedPart(r.leftMounted);
}

bool resultIsProblem(const QString& line) {
    return line.startsWith(kNothingCleaned + kSeparator);
}

QString cleanButtonTitle(qint64 selectedBytes) {
    return QStringLiteral("Clean selected") + kSeparator + formatBytes(selectedBytes);
}

QString confirmTitle(qint64 selectedBytes) {
    return QStringLiteral("Clean ") + formatBytes(selectedBytes) + QStringLiteral("?");
}

PENDREL_TEXT(confirmVerb, "Clean now")
PENDREL_TEXT(rescanTitle, "Rescan")
PENDREL_TEXT(askPrompt, "Not sure what something is?")
PENDREL_TEXT(readyTitle, "Ready to scan")
PENDREL_TEXT(failedTitle, "Scan failed")
PENDREL_TEXT(nothingTitle, "Nothing found")
PENDREL_TEXT(nothingMessage, "Pendrel could not find any of these on this Mac. Nothing to do.")
PENDREL_TEXT(safeSection, "Safe to clear")
PENDREL_TEXT(keptSection, "Measured, but Pendrel will not touch it")
PENDREL_TEXT(revealTitle, "Show in File Manager")

} // namespace CleanerPaneText
