#include "storage/DiskMapText.h"

#include "platform/ByteFormat.h"

#include <algorithm>

namespace DiskMapText {

QString title() {
    return QStringLiteral("Disk Map");
}
QString analyseButton() {
    return QStringLiteral("Analyse home");
}
QString stopButton() {
    return QStringLiteral("Stop");
}
QString upButton() {
    return QStringLiteral("Up");
}
QString askPrompt() {
    return QStringLiteral("Ask Pendrel what is filling this folder");
}
QString askQuestion() {
    return QStringLiteral("What is taking the most space in my home folder?");
}
QString legendTitle() {
    return QStringLiteral("Legend");
}
QString legendEmpty() {
    return QStringLiteral("Nothing measured yet.");
}
QString revealButton() {
    return QStringLiteral("Show in File Manager");
}
QString progressNote() {
    return QStringLiteral("A folder with a lot inside it can take a minute. You can stop and "
                          "still use the rest of Pendrel.");
}
QString failedTitle() {
    return QStringLiteral("Could not map");
}
QString idleTitle() {
    return QStringLiteral("See where space lives");
}
QString idleMessage() {
    return QStringLiteral(
        "Pendrel builds a map of your home folder. Double-click a tile to look inside.");
}
QString emptyTreemapTitle() {
    return QStringLiteral("Nothing to draw here.");
}
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
