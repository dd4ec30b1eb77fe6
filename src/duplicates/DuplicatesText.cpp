#include "duplicates/DuplicatesText.h"

#include "platform/ByteFormat.h"
#include "platform/NativePath.h"
#include "platform/TextConstant.h"

#include <optional>
#include <QList>

namespace DuplicatesText {

QString title(DuplicatesMode mode) {
    return mode == DuplicatesMode::Exact ? QStringLiteral("Exact duplicates")
                                         : QStringLiteral("Looks similar");
}

PENDREL_TEXT(windowTitle, "Duplicates")
PENDREL_TEXT(modesName, "Mode")
PENDREL_TEXT(folderPickerTitle, "Choose a folder to scan")
PENDREL_TEXT(headerTitle, "Find exact duplicates")
PENDREL_TEXT(thumbnailSizeName, "Photo size")
PENDREL_TEXT(headerSubtitle,
             "Byte-for-byte matches only, confirmed by checksum. Removed copies go to "
             "the Trash.")
PENDREL_TEXT(clearLabel, "Clear")

QString folderButton(bool hasFolder) {
    return hasFolder ? QStringLiteral("Scan another folder…") : QStringLiteral("Choose folder…");
}

QString cleanAllLabel(int count) {
    return QStringLiteral("Clean all · trash %1").arg(count);
}

QString cleanAllTitle(DuplicatesMode mode, int count) {
    return mode == DuplicatesMode::Exact
               ? QStringLiteral("Keep one of each, trash %1 duplicates?").arg(count)
               : QStringLiteral("Keep the best of each set, trash %1 photos?").arg(count);
}

PENDREL_TEXT(
    cleanAllMessage,
    "One copy is kept in every group. For exact duplicates it's the one in its original "
    "folder; for look-alikes it's the best quality photo. Everything else goes to the Trash "
    "so you can undo.")
PENDREL_TEXT(confirmVerb, "Move to Trash")

QString keepChosenTitle(int count) {
    return QStringLiteral("Trash %1 duplicate%2?")
        .arg(count)
        .arg(count == 1 ? QString() : QStringLiteral("s"));
}

QString keepChosenMessage(int count) {
    return QStringLiteral("The copy you chose stays. The other %1 move to the Trash so you can "
                          "undo.")
        .arg(count);
}

QString keepBestTitle(int count) {
    return QStringLiteral("Trash %1 photo%2?")
        .arg(count)
        .arg(count == 1 ? QString() : QStringLiteral("s"));
}

QString keepBestMessage(int count) {
    return QStringLiteral("The best one stays. The other %1 move to the Trash.").arg(count);
}

PENDREL_TEXT(failureAlertTitle, "Some files could not be moved to the Trash")

QString exactProgress(qint64 scanned) {
    return QStringLiteral("Scanning… %1 files checked").arg(scanned);
}

QString similarProgress(int done, int total) {
    if (total < 1)
        return QStringLiteral("Looking for photos…");
    return QStringLiteral("Comparing photos… %1 of %2").arg(done).arg(total);
}

QString cleaningProgress(int done, int total) {
    return QStringLiteral("Moving to the Trash… %1 of %2").arg(done).arg(total);
}

PENDREL_TEXT(failedTitle, "Scan failed")
PENDREL_TEXT(idleTitle, "Pick a folder to scan")
PENDREL_TEXT(exactIdleMessage,
             "Try Downloads, Pictures or Documents. Pendrel never scans anywhere you "
             "have not chosen.")
PENDREL_TEXT(similarIdleMessage,
             "Finds burst shots and near-identical photos using on-device image "
             "analysis, then marks the best of each set. Judgement, not certainty, so "
             "you always confirm.")
PENDREL_TEXT(exactEmptyTitle, "No duplicates found")
PENDREL_TEXT(exactEmptyMessage, "Every file of 1,024 bytes or more in that folder is unique. "
                                "Hidden files and the contents of apps were not checked.")
PENDREL_TEXT(similarEmptyTitle, "No look-alike photos")
PENDREL_TEXT(similarEmptyMessage, "No burst shots or near-identical photos in that folder.")
PENDREL_TEXT(compareHint, "Click any photo to compare side by side")

QString setHeader(int photos) {
    return QStringLiteral("%1 photos look the same · best one marked").arg(photos);
}

QString keepBestButton(int count) {
    return QStringLiteral("Keep best, trash %1").arg(count);
}

PENDREL_TEXT(bestQuality, "Best quality")

QString setStripName(int photos) {
    return QStringLiteral("%1 similar photos").arg(photos);
}

QString rowHeader(int files, qint64 fileSize) {
    return QStringLiteral("%1 identical copies · %2 each · click the one to keep")
        .arg(files)
        .arg(formatBytes(fileSize));
}

PENDREL_TEXT(keepSelectedButton, "Keep selected, trash the rest")

QString freesLine(qint64 bytes) {
    return QStringLiteral("Frees ") + formatBytes(bytes);
}

QString createdLine(const QDate& date, const QLocale& locale) {
    return QStringLiteral("Created ") + locale.toString(date, QStringLiteral("MMM d, yyyy"));
}

PENDREL_TEXT(keepingThisOne, "Keeping this one")

QString copiesStripName(int files) {
    return QStringLiteral("%1 copies to choose from").arg(files);
}

PENDREL_TEXT(sheetTitle, "Side by side")
PENDREL_TEXT(doneLabel, "Done")

QString photoInfo(const QSize& pixels, qint64 bytes) {
    if (!pixels.isValid() || pixels.isEmpty())
        return QString();
    return QStringLiteral("%1 × %2 · %3")
        .arg(pixels.width())
        .arg(pixels.height())
        .arg(formatBytes(bytes));
}

QString shownPath(const QString& path) {
    if (!NativePath::hasEscapes(path))
        return path;
    // Escapes stand for bytes 0x80..0xFF as U+DC80..U+DCFF; a valid pair of surrogates is a
    // character and stays.
    QString shown;
    shown.reserve(path.size() + 8);
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t u = path.at(i).unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < path.size() && path.at(i + 1).isLowSurrogate()) {
            shown.append(path.at(i));
            shown.append(path.at(++i));
        } else if (u >= 0xDC80 && u <= 0xDCFF) {
            shown.append(QStringLiteral("\\x") + QString::number(u - 0xDC00, 16).toUpper());
        } else {
            shown.append(path.at(i));
        }
    }
    return shown;
}

namespace {

// Greedy lines of at most `width`: each ends after the last "/" that fits, else after the last
// character that fits (at least one per line).
//
// A head is never narrower than a shorter one, so the end of a line is searched by halves, and
// first among the heads that end after a "/", the only ends a line takes while one fits: a rest
// that fits whole is one measurement, a line that ends after a folder a few more, and only a name
// wider than a line is searched character by character. Each measurement shapes text, which on
// a screenful of tiles is what the main thread spends its time on.
QStringList breakPath(const QString& text, int width,
                      const std::function<int(const QString&)>& advance) {
    QStringList lines;
    QString rest = text;
    QList<int> ends;
    while (!rest.isEmpty()) {
        if (advance(rest) <= width) {
            lines.append(rest);
            break;
        }
        ends.clear();
        for (int i = 0; i + 1 < rest.size(); ++i)
            if (rest.at(i) == QLatin1Char('/'))
                ends.append(i + 1);
        // How many of the ends after a "/" fit.
        qsizetype fitting = 0;
        for (qsizetype beyond = ends.size(); fitting < beyond;) {
            const qsizetype mid = fitting + (beyond - fitting) / 2;
            if (advance(rest.left(ends.at(mid))) <= width)
                fitting = mid + 1;
            else
                beyond = mid;
        }
        int fits = 1;
        if (fitting > 0) {
            fits = ends.at(fitting - 1);
        } else {
            // No folder fits: the longest head within the width, short of the first "/" after
            // the start (or of the whole rest, which did not fit).
            for (int wider = ends.isEmpty() ? int(rest.size()) - 1 : ends.first() - 1;
                 fits < wider;) {
                const int mid = fits + (wider - fits + 1) / 2;
                if (advance(rest.left(mid)) <= width)
                    fits = mid;
                else
                    wider = mid - 1;
            }
        }
        lines.append(rest.left(fits));
        rest = rest.mid(fits);
    }
    return lines;
}

} // namespace

QStringList pathLines(const QString& path, int maxLines, int width,
                      const std::function<int(const QString&)>& advance) {
    if (maxLines < 1 || path.isEmpty())
        return {};
    QStringList lines = breakPath(path, width, advance);
    if (lines.size() <= maxLines)
        return lines;
    const QString ellipsis = QStringLiteral("…");
    // The first of the shorter and shorter tails, each behind "…", that fits the lines. A tail
    // never needs more lines than a longer one, so they are searched by halves: a deep path
    // broken again for every folder it could lose made each tile cost milliseconds.
    const auto firstFitting = [&](const QStringList& tails) -> std::optional<QStringList> {
        std::optional<QStringList> found;
        for (qsizetype low = 0, high = tails.size(); low < high;) {
            const qsizetype mid = low + (high - low) / 2;
            QStringList broken = breakPath(ellipsis + tails.at(mid), width, advance);
            if (broken.size() <= maxLines) {
                found = std::move(broken);
                high = mid;
            } else {
                low = mid + 1;
            }
        }
        return found;
    };
    // Leading folders go until the rest fits behind "…/".
    QStringList tails;
    for (qsizetype slash = path.indexOf(QLatin1Char('/'), 1); slash >= 0;
         slash = path.indexOf(QLatin1Char('/'), slash + 1))
        tails.append(path.mid(slash));
    if (std::optional<QStringList> fitted = firstFitting(tails))
        return *fitted;
    // The name alone is too long: its end, behind "…", on the lines there are.
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    tails.clear();
    for (qsizetype cut = 1; cut < name.size(); ++cut)
        tails.append(name.mid(cut));
    if (std::optional<QStringList> fitted = firstFitting(tails))
        return *fitted;
    return breakPath(ellipsis, width, advance).mid(0, maxLines);
}

QString shownName(const QString& path) {
    return shownPath(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
}

QString passedOverLine(const QString& path, PassedOver why) {
    switch (why) {
    case PassedOver::CopyChanged:
        return QStringLiteral("%1: it changed after the scan and is no longer the same as the "
                              "copy kept, so it was not moved.")
            .arg(shownName(path));
    case PassedOver::KeeperChanged:
        return QStringLiteral("%1: the copy kept changed after the scan and is no longer the same "
                              "as this one, so it was not moved.")
            .arg(shownName(path));
    case PassedOver::Unreadable:
        break;
    }
    return QStringLiteral("%1: it could not be read again to check it, so it was not moved.")
        .arg(shownName(path));
}

QString photoPassedOverLine(const QString& path, PassedOver why) {
    switch (why) {
    case PassedOver::CopyChanged:
        return QStringLiteral("%1: it changed after the scan and no longer looks like the photo "
                              "kept, so it was not moved.")
            .arg(shownName(path));
    case PassedOver::KeeperChanged:
        return QStringLiteral("%1: the photo kept changed after the scan and no longer looks like "
                              "this one, so it was not moved.")
            .arg(shownName(path));
    case PassedOver::Unreadable:
        break;
    }
    return QStringLiteral("%1: it could not be read again to check it, so it was not moved.")
        .arg(shownName(path));
}

} // namespace DuplicatesText
