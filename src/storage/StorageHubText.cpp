#include "storage/StorageHubText.h"

#include "platform/ByteFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// part / whole × 100, truncated toward zero, in integers: in floating point 29 of 100 would
// come out as 28. 0 for a whole below 1.
qint64 truncatedPercent(qint64 part, qint64 whole) {
    if (whole < 1)
        return 0;
    return qint64(static_cast<__int128>(part) * 100 / whole);
}

} // namespace

namespace StorageHubText {

QString title() {
    return QStringLiteral("Storage");
}

QString subtitle() {
    return QStringLiteral("Understand storage rather than simply deleting files.");
}

QString header(qint64 freeBytes, qint64 totalBytes) {
    return formatBytes(freeBytes) + QStringLiteral(" free of ") + formatBytes(totalBytes);
}

QString askPrompt() {
    return QStringLiteral("Want Pendrel to explain your storage?");
}

QString askQuestion() {
    return QStringLiteral("Where did my disk space go?");
}

QList<Tile> tiles() {
    const QString open = QStringLiteral("Open");
    return {
        {QStringLiteral("Safe cleanup"),
         "trash"_sym,
         QStringLiteral(
             "Caches, logs, Trash, old downloads and .bak database backups — explained first."),
         open,
         DiskMode::System,
         {}},
        {QStringLiteral("Screenshot Cleaner"),
         "camera.viewfinder"_sym,
         QStringLiteral("Group and clear old screenshots from Desktop, Downloads and Pictures."),
         open,
         DiskMode::Screenshots,
         {}},
        {QStringLiteral("Disk Map"),
         "square.grid.2x2"_sym,
         QStringLiteral(
             "Interactive treemap of your home folder. Drill in to see what fills space."),
         open,
         DiskMode::DiskMap,
         {}},
        {QStringLiteral("Folder Organizer"),
         "folder.badge.gearshape"_sym,
         QStringLiteral("Preview a tidy plan for Downloads and Desktop, apply it, undo later."),
         open,
         DiskMode::Organizer,
         {}},
        {QStringLiteral("Mail"),
         "envelope"_sym,
         QStringLiteral("See what Apple Mail, Thunderbird and Outlook keep on this Mac."),
         open,
         DiskMode::Mail,
         {}},
        {QStringLiteral("Where did my disk go?"),
         "chart.bar.xaxis"_sym,
         QStringLiteral(
             "One click. Applications, developer tools, mail, photos, cloud, downloads."),
         QStringLiteral("Analyse"),
         DiskMode::Growth,
         {}},
        {QStringLiteral("Browse storage"), "folder"_sym,
         QStringLiteral(
             "Folder sizes the file manager does not show, and the biggest single files."),
         QStringLiteral("Browse"), std::nullopt, QStringLiteral("folders")},
        {QStringLiteral("Duplicates"), "doc.on.doc"_sym,
         QStringLiteral("Exact copies and lookalike photos."), open, std::nullopt,
         QStringLiteral("duplicates")},
    };
}

qint64 growthPerDay(qint64 totalBytes, const QList<double>& usedHistory) {
    const qsizetype n = usedHistory.size();
    if (n < 2 || totalBytes < 1)
        return 0;
    const double rise = usedHistory.last() - usedHistory.first();
    if (!(rise > 0))
        return 0; // flat, shrinking, or not a number
    const double perDay = rise / double(n - 1) * double(samplesPerDay) * double(totalBytes);
    // A history of garbage must not overflow the conversion.
    constexpr double largest = double(std::numeric_limits<qint64>::max());
    if (!(perDay < largest))
        return std::numeric_limits<qint64>::max();
    return qint64(std::trunc(perDay));
}

Prediction predict(qint64 totalBytes, qint64 freeBytes, const QList<double>& usedHistory) {
    // A snapshot whose free space exceeds its total (or is negative) is held to 0–100%.
    const qint64 used = std::clamp<qint64>(totalBytes - std::max<qint64>(freeBytes, 0), 0,
                                           std::max<qint64>(totalBytes, 0));
    const qint64 percent = truncatedPercent(used, totalBytes);

    const qint64 growth = growthPerDay(totalBytes, usedHistory);
    Prediction p;
    p.usage = QString::number(percent) + QLatin1Char('%');
    p.growth = growth < 1 ? QStringLiteral("Stable") : formatBytes(growth) + QStringLiteral("/day");
    if (growth >= 1 && freeBytes >= 1) {
        const qint64 days = freeBytes / growth;
        p.estimate = days >= 366 ? QStringLiteral("Over a year at current growth")
                                 : QStringLiteral("About %1 days at current growth").arg(days);
    } else {
        p.estimate = QStringLiteral("Not enough trend data yet");
    }
    return p;
}

QString predictionTitle() {
    return QStringLiteral("Predict full disk");
}

QString usageLabel() {
    return QStringLiteral("Current usage");
}

QString growthLabel() {
    return QStringLiteral("Average growth");
}

QString estimateLabel() {
    return QStringLiteral("Estimated full");
}

QString predictionNote() {
    return QStringLiteral("Based on the last few minutes of disk use on this Mac. Open Where did "
                          "it go? for a full breakdown.");
}

QString growthTitle() {
    return QStringLiteral("Where did my disk go?");
}

QString growthSubtitle() {
    return QStringLiteral(
        "Largest buckets on this Mac. Pendrel measures folders — it never opens your files.");
}

QString analyseButton(bool scanning) {
    return scanning ? QStringLiteral("Measuring…") : QStringLiteral("Analyse");
}

QString readyTitle() {
    return QStringLiteral("Ready to analyse");
}

QString readyMessage() {
    return QStringLiteral("One click. Pendrel sizes Applications, developer tools, mail, photos, "
                          "cloud storage, downloads and caches.");
}

QString scanningLabel() {
    return QStringLiteral("Measuring the big buckets…");
}

QString sectionHeader() {
    return QStringLiteral("Largest growth areas");
}

QString failedTitle() {
    return QStringLiteral("Could not analyse");
}

QString growthAskPrompt() {
    return QStringLiteral("Ask why storage jumped");
}

QString growthAskQuestion() {
    return QStringLiteral("Why did my storage jump?");
}

QList<StorageGrowthScanner::Bucket> shownBuckets(const QList<StorageGrowthScanner::Bucket>& all) {
    QList<StorageGrowthScanner::Bucket> shown;
    for (const StorageGrowthScanner::Bucket& bucket : all) {
        if (bucket.bytes >= 1)
            shown.append(bucket);
    }
    return shown;
}

std::optional<QString> bucketMeta(qint64 bytes, qint64 totalBytes) {
    if (totalBytes <= 0)
        return std::nullopt;
    const qint64 percent = truncatedPercent(bytes, totalBytes);
    return QString::number(percent) + QStringLiteral("% of measured total");
}

QString openButton() {
    return QStringLiteral("Open");
}

} // namespace StorageHubText
