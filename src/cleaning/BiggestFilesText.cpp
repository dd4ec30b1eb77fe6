#include "cleaning/BiggestFilesText.h"

#include "platform/ByteFormat.h"
#include "platform/TextConstant.h"

#include <algorithm>

namespace BiggestFilesText {

PENDREL_TEXT(title, "Biggest files")
PENDREL_TEXT(subtitle, "The largest files in a folder. Ones you haven't opened in six months "
                       "are flagged as easy wins.")

const QList<SizeChoice>& sizeChoices() {
    static const QList<SizeChoice> choices = {
        {QStringLiteral("10 MB+"), 10'000'000},
        {QStringLiteral("50 MB+"), 50'000'000},
        {QStringLiteral("100 MB+"), 100'000'000},
        {QStringLiteral("500 MB+"), 500'000'000},
    };
    return choices;
}

PENDREL_TEXT(sizePickerLabel, "Min size")
PENDREL_TEXT(onlyOldLabel, "Only old (6mo+)")
PENDREL_TEXT(chooseFolder, "Choose folder…")
PENDREL_TEXT(scanAnother, "Scan another…")

QString trashButton(qint64 selectedBytes) {
    return QStringLiteral("Trash ") + formatBytes(selectedBytes);
}

PENDREL_TEXT(oldBadge, "old")
PENDREL_TEXT(revealTitle, "Show")
PENDREL_TEXT(listName, "Biggest files")

namespace {

QString plural(qint64 count, const char* one, const char* many) {
    return QString::number(count) + QString::fromUtf8(count == 1 ? one : many);
}

QString ago(const QDateTime& then, const QDateTime& now) {
    const qint64 days = std::max<qint64>(0, then.secsTo(now) / 86'400);
    if (days == 0)
        return QStringLiteral("today");
    if (days < 30)
        return plural(days, " day ago", " days ago");
    if (days < 365)
        return plural(days / 30, " month ago", " months ago");
    return plural(days / 365, " year ago", " years ago");
}

} // namespace

QString rowDescription(const BigFile& file, const QDateTime& now) {
    QString line = formatBytes(file.sizeBytes) + QStringLiteral(", in ") + file.folderPath();
    if (file.lastOpened)
        line += QStringLiteral(", last opened ") + ago(*file.lastOpened, now);
    if (file.isOld(now))
        line += QStringLiteral(", ") + oldBadge();
    return line;
}

QString confirmTitle(qint64 selectedBytes) {
    return QStringLiteral("Move ") + formatBytes(selectedBytes) + QStringLiteral(" to Trash?");
}

PENDREL_TEXT(confirmMessage,
             "The selected files go to the Trash so you can put them back if you change your mind.")
PENDREL_TEXT(confirmVerb, "Move to Trash")

QString resultLine(qint64 freedBytes) {
    return QStringLiteral("Freed ") + formatBytes(freedBytes);
}

PENDREL_TEXT(errorsTitle, "Some files could not be moved")

QString errorsMessage(const QStringList& errors) {
    return errors.join(QLatin1Char('\n'));
}

PENDREL_TEXT(idleTitle, "Pick a folder to scan")
PENDREL_TEXT(idleMessage, "Try your home folder, Downloads or Movies. Pendrel lists the 200 "
                          "biggest files it finds.")
PENDREL_TEXT(nothingTitle, "Nothing big here")
PENDREL_TEXT(nothingOldMessage, "No large files older than six months.")

QString nothingAboveMessage(qint64 minSizeBytes) {
    return QStringLiteral("No files above %1 in that folder. Try a smaller minimum size in the "
                          "picker above.")
        .arg(formatBytes(minSizeBytes));
}

PENDREL_TEXT(failedTitle, "Scan failed")

QList<BigFile> visibleFiles(const QList<BigFile>& files, bool onlyOld, const QDateTime& now) {
    if (!onlyOld)
        return files;
    QList<BigFile> out;
    for (const BigFile& f : files) {
        if (f.isOld(now))
            out.append(f);
    }
    return out;
}

QList<BigFile> selectedFiles(const QList<BigFile>& files, const QSet<QUuid>& selection) {
    QList<BigFile> out;
    for (const BigFile& f : files) {
        if (selection.contains(f.id))
            out.append(f);
    }
    return out;
}

qint64 selectedBytes(const QList<BigFile>& files, const QSet<QUuid>& selection) {
    qint64 sum = 0;
    for (const BigFile& f : selectedFiles(files, selection))
        sum += f.sizeBytes;
    return sum;
}

} // namespace BiggestFilesText
