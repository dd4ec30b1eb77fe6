#pragma once

#include "platform/SymbolName.h"
#include "shell/ScreenModes.h"
#include "storage/StorageGrowthScanner.h"

#include <optional>
#include <QList>
#include <QString>

struct SystemSnapshot;

// The storage hub's words and numbers: the overview's tiles and its full-disk prediction, and
// the "Where did it go?" pane's texts and bucket rows. Pure functions, so every boundary is a
// table test.
namespace StorageHubText {

QString title();    // "Storage"
QString subtitle(); // "Understand storage rather than simply deleting files."
// size(free) + " free of " + size(total)
QString header(qint64 freeBytes, qint64 totalBytes);
QString askPrompt();
QString askQuestion();

// One overview tile: it either switches the hub to a mode or opens another section.
struct Tile {
    QString title;
    SymbolName icon;
    QString text;
    QString button;
    std::optional<DiskMode> mode;
    QString section; // when mode is none
};
// The eight tiles in their order.
QList<Tile> tiles();

// The "Predict full disk" box's three values.
struct Prediction {
    QString usage;    // "37%"
    QString growth;   // "Not known yet", "Stable" or "1.2 GB/day"
    QString estimate; // "About 12 days at current growth", …
};
// The usage is SystemSnapshot::diskFullPercent(), the figure the Performance screen and df
// show. The growth is DiskTrend::growthPerDay's; none means there is no trend yet, and then the
// growth reads "Not known yet" and the estimate "Not enough trend data yet", never a word of a
// trend. With a trend: below a byte a day the growth reads "Stable" and the estimate "Not at
// current growth"; on a disk with no free space left, "Already full"; else days = free ÷ growth,
// truncated: under one day "Less than a day at current growth", 366 or more "Over a year at
// current growth", else "About N days at current growth".
Prediction predict(const SystemSnapshot& snapshot, std::optional<qint64> growthPerDay);

QString predictionTitle(); // "Predict full disk"
QString usageLabel();
QString growthLabel();
QString estimateLabel();
QString predictionNote();

// The "Where did it go?" pane.
QString growthTitle();
QString growthSubtitle();
QString analyseButton(bool scanning); // "Measuring…" while a scan runs, else "Analyse"
QString readyTitle();
QString readyMessage();
QString scanningLabel();
QString sectionHeader(); // "Largest growth areas"
QString failedTitle();
QString growthAskPrompt();
QString growthAskQuestion();

// The buckets the pane lists: those of at least one byte, in the scanner's order.
QList<StorageGrowthScanner::Bucket> shownBuckets(const QList<StorageGrowthScanner::Bucket>& all);
// p + "% of measured total", p the truncated share; none when the total is not positive.
std::optional<QString> bucketMeta(qint64 bytes, qint64 totalBytes);
QString openButton(); // "Open"
// What a bucket's "Open" button says to assistive technology: where it goes, for what. "Open Safe
// cleanup for Downloads", "Open Browse Storage for Documents".
QString openButtonName(const StorageGrowthScanner::Bucket& bucket);

} // namespace StorageHubText
