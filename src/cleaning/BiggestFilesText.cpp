#include "cleaning/BiggestFilesText.h"

#include "platform/ByteFormat.h"

namespace BiggestFilesText {

QString title() {
    return QStringLiteral("Biggest files");
}

QString subtitle() {
    return QStringLiteral("The largest files in a folder. Ones you haven't opened in six months "
                          "are flagged as easy wins.");
}

const QList<SizeChoice>& sizeChoices() {
    static const QList<SizeChoice> choices = {
        {QStringLiteral("10 MB+"), 10'485'760},
        {QStringLiteral("50 MB+"), 52'428'800},
        {QStringLiteral("100 MB+"), 104'857'600},
        {QStringLiteral("500 MB+"), 524'288'000},
    };
    return choices;
}

QString sizePickerLabel() {
    return QStringLiteral("Min size");
}

QString onlyOldLabel() {
    return QStringLiteral("Only old (6mo+)");
}

QString chooseFolder() {
    return QStringLiteral("Choose folder…");
}

QString scanAnother() {
    return QStringLiteral("Scan another…");
}

QString trashButton(qint64 selectedBytes) {
    return QStringLiteral("Trash ") + formatBytes(selectedBytes);
}

QString oldBadge() {
    return QStringLiteral("old");
}

QString revealTitle() {
    return QStringLiteral("Show");
}

QString confirmTitle(qint64 selectedBytes) {
    return QStringLiteral("Move ") + formatBytes(selectedBytes) + QStringLiteral(" to Trash?");
}

QString confirmMessage() {
    return QStringLiteral(
        "The selected files go to the Trash so you can put them back if you change your mind.");
}

QString confirmVerb() {
    return QStringLiteral("Move to Trash");
}

QString resultLine(qint64 freedBytes) {
    return QStringLiteral("Freed ") + formatBytes(freedBytes);
}

QString errorsTitle() {
    return QStringLiteral("Some files could not be moved");
}

QString errorsMessage(const QStringList& errors) {
    return errors.join(QLatin1Char('\n'));
}

QString idleTitle() {
    return QStringLiteral("Pick a folder to scan");
}

QString idleMessage() {
    return QStringLiteral("Try your home folder, Downloads or Movies. Pendrel lists the 200 "
                          "biggest files it finds.");
}

QString nothingTitle() {
    return QStringLiteral("Nothing big here");
}

QString nothingOldMessage() {
    return QStringLiteral("No large files older than six months.");
}

QString nothingAboveMessage(qint64 minSizeBytes) {
    return QStringLiteral("No files above %1 in that folder. Try a smaller minimum size in the "
                          "picker above.")
        .arg(formatBytes(minSizeBytes));
}

QString failedTitle() {
    return QStringLiteral("Scan failed");
}

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
