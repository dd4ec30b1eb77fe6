#pragma once

#include "storage/MapNode.h"

#include <QList>
#include <QSizeF>
#include <QString>

// The wording and the drawing thresholds of the disk map pane and its treemap.
namespace DiskMapText {

QString title();         // "Disk Map"
QString analyseButton(); // "Analyse home"
QString stopButton();    // "Stop"
QString upButton();      // "Up"
QString askPrompt();     // the assistant strip's placeholder
QString askQuestion();   // its preset question
QString legendTitle();   // "Legend"
QString legendEmpty();   // "Nothing measured yet."
QString revealButton();  // the selected folder's button
QString progressNote();  // under the progress text
QString failedTitle();   // "Could not map"
QString idleTitle();     // "See where space lives"
QString idleMessage();
QString emptyTreemapTitle(); // "Nothing to draw here."
QString openTileAction();    // "Open": a tile's accessible action that enters its folder
QString openTileKey();       // "Return": the key that does it, as assistive technology says it
// Under it, for the nodes that gave no tile: when there are nodes and none of them takes space
// on disk (sparse or empty files), the folder is not empty and is not called so.
QString emptyTreemapMessage(const QList<MapNode>& nodes = {});

// "Home", then the name of every folder entered, joined by " › ".
QString breadcrumb(const QList<MapNode>& stack);
// The scanner's progress text, or "Measuring…" while it has none.
QString progressLine(const QString& progress);
// What the scan reports as it goes: "Measured 1.2 GB across 1 file · 0 of 3 folders done", then
// " · now in <folder>" while it is in one. Each count reads as its number needs.
QString measuredLine(qint64 bytes, qint64 files, qint64 finished, qint64 total,
                     const QString& currentFolder);

// A tile shows its name only when it is more than 64 points wide and more than 30 high, and its
// size under the name only when it is also more than 44 high.
bool tileShowsName(const QSizeF& size);
bool tileShowsSize(const QSizeF& size);
// The fill's opacity: 1 selected (whatever the hover), 0.9 hovered, 0.75 otherwise.
double tileOpacity(bool selected, bool hovered);
// The tile's help text: name · size · category.
QString tileHelp(const MapNode& node);

} // namespace DiskMapText
