#include "storage/DiskMapText.h"

#include "platform/ByteFormat.h"
#include "platform/CountText.h"
#include "platform/TextConstant.h"

#include <algorithm>

namespace DiskMapText {

PENDREL_TEXT(title, "Disk Map")
PENDREL_TEXT(analyseButton, "Analyse home")
PENDREL_TEXT(stopButton, "Stop")
PENDREL_TEXT(upButton, "Up")
PENDREL_TEXT(askPrompt, "Ask Pendrel what is filling this folder")
PENDREL_TEXT(askQuestion, "What is taking the most space in my home folder?")
PENDREL_TEXT(legendTitle, "Legend")
PENDREL_TEXT(legendEmpty, "Nothing measured yet.")
PENDREL_TEXT(revealButton, "Show in File Manager")
PENDREL_TEXT(progressNote, "A folder with a lot inside it can take a minute. You can stop and "
                           "still use the rest of Pendrel.")
PENDREL_TEXT(failedTitle, "Could not map")
PENDREL_TEXT(idleTitle, "See where space lives")
PENDREL_TEXT(idleMessage,
             "Pendrel builds a map of your home folder. Double-click a tile to look inside.")
PENDREL_TEXT(emptyTreemapTitle, "Nothing to draw here.")
PENDREL_TEXT(openTileAction, "Open")
PENDREL_TEXT(openTileKey, "Return")
QString emptyTreemapMessage(const QList<MapNode>& nodes) {
    const bool noneTakesSpace =
        std::all_of(nodes.begin(), nodes.end(), [](const MapNode& n) { return n.sizeBytes < 1; });
    if (!nodes.isEmpty() && noneTakesSpace)
        return QStringLiteral("The files in this folder take no space on disk.");
    return QStringLiteral("This folder is empty, or everything in it is too small to see.");
}

QString breadcrumb(const QList<MapNode>& stack) {
    QString text = QStringLiteral("Home");
    for (const MapNode& node : stack)
        text += QStringLiteral(" › ") + node.name;
    return text;
}

QString progressLine(const QString& progress) {
    return progress.isEmpty() ? QStringLiteral("Measuring…") : progress;
}

QString measuredLine(qint64 bytes, qint64 files, qint64 finished, qint64 total,
                     const QString& currentFolder) {
    QString text = QStringLiteral("Measured %1 across %2 · %3 of %4 done")
                       .arg(formatBytes(bytes), CountText::of(files, "file", "files"))
                       .arg(finished)
                       .arg(CountText::of(total, "folder", "folders"));
    if (!currentFolder.isEmpty())
        text += QStringLiteral(" · now in ") + currentFolder;
    return text;
}

bool tileShowsName(const QSizeF& size) {
    return size.width() > 64 && size.height() > 30;
}

bool tileShowsSize(const QSizeF& size) {
    return tileShowsName(size) && size.height() > 44;
}

double tileOpacity(bool selected, bool hovered) {
    return selected ? 1.0 : (hovered ? 0.9 : 0.75);
}

QString tileHelp(const MapNode& node) {
    return node.name + QStringLiteral(" · ") + formatBytes(node.sizeBytes) + QStringLiteral(" · ") +
           ::title(node.category);
}

} // namespace DiskMapText
