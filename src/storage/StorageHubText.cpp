#include "storage/StorageHubText.h"

#include "platform/ByteFormat.h"
#include "platform/CountText.h"
#include "platform/TextConstant.h"
#include "shell/QKFeature.h"
#include "vitals/SystemSnapshot.h"

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

PENDREL_TEXT(title, "Storage")
PENDREL_TEXT(subtitle, "Understand storage rather than simply deleting files.")

QString header(qint64 freeBytes, qint64 totalBytes) {
    return formatBytes(freeBytes) + QStringLiteral(" free of ") + formatBytes(totalBytes);
}

PENDREL_TEXT(askPrompt, "Want Pendrel to explain your storage?")
PENDREL_TEXT(askQuestion, "Where did my disk space go?")

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
         QStringLiteral("See what Thunderbird and other mail apps keep on this Mac."),
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

Prediction predict(const SystemSnapshot& snapshot, std::optional<qint64> growthPerDay) {
    Prediction p;
    p.usage = QString::number(snapshot.diskFullPercent()) + QLatin1Char('%');
    if (!growthPerDay) {
        p.growth = QStringLiteral("Not known yet");
        p.estimate = QStringLiteral("Not enough trend data yet");
        return p;
    }
    const qint64 growth = *growthPerDay;
    const qint64 free = snapshot.diskFreeBytes;
    p.growth = growth < 1 ? QStringLiteral("Stable") : formatBytes(growth) + QStringLiteral("/day");
    if (growth < 1) {
        p.estimate = QStringLiteral("Not at current growth");
    } else if (free < 1) {
        p.estimate = QStringLiteral("Already full");
    } else {
        const qint64 days = free / growth;
        if (days < 1)
            p.estimate = QStringLiteral("Less than a day at current growth");
        else if (days >= 366)
            p.estimate = QStringLiteral("Over a year at current growth");
        else
            p.estimate = QStringLiteral("About %1 at current growth")
                             .arg(CountText::of(days, "day", "days"));
    }
    return p;
}

PENDREL_TEXT(predictionTitle, "Predict full disk")
PENDREL_TEXT(usageLabel, "Current usage")
PENDREL_TEXT(growthLabel, "Average growth")
PENDREL_TEXT(estimateLabel, "Estimated full")
PENDREL_TEXT(predictionNote,
             "Based on the last few days of disk use on this Mac. Open Where did it "
             "go? for a full breakdown.")
PENDREL_TEXT(growthTitle, "Where did my disk go?")
PENDREL_TEXT(growthSubtitle,
             "Largest buckets on this Mac. Pendrel measures folders — it never opens your files.")

QString analyseButton(bool scanning) {
    return scanning ? QStringLiteral("Measuring…") : QStringLiteral("Analyse");
}

PENDREL_TEXT(readyTitle, "Ready to analyse")
PENDREL_TEXT(readyMessage, "One click. Pendrel sizes Applications, developer tools, mail, photos, "
                           "cloud storage, downloads and caches.")
PENDREL_TEXT(scanningLabel, "Measuring the big buckets…")
PENDREL_TEXT(sectionHeader, "Largest growth areas")
PENDREL_TEXT(failedTitle, "Could not analyse")
PENDREL_TEXT(growthAskPrompt, "Ask why storage jumped")
PENDREL_TEXT(growthAskQuestion, "Why did my storage jump?")

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

PENDREL_TEXT(openButton, "Open")

QString openButtonName(const StorageGrowthScanner::Bucket& bucket) {
    if (!bucket.featureID)
        return openButton();
    // The storage screen's own cleanup is a mode of it; any other place is a section.
    QString place = *bucket.featureID;
    if (place == QLatin1String("disk"))
        place = ::title(DiskMode::System);
    else if (const QKFeature* feature = QKFeature::lookup(place))
        place = feature->title;
    return QStringLiteral("Open %1 for %2").arg(place, bucket.name);
}

} // namespace StorageHubText
