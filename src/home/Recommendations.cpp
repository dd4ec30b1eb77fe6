#include "home/Recommendations.h"

#include "platform/ByteFormat.h"
#include "platform/NotificationCenter.h"
#include "platform/SymbolName.h"
#include "shell/ScreenState.h"
#include "vitals/SystemSnapshot.h"

#include <algorithm>

namespace {

using P = ThermalSnapshot::Pressure;

std::optional<RecCard> junkCard(const HealthCheck::Status& junk) {
    const HealthCheck::Finding* f = junk.doneFinding();
    if (!f || f->bytes < 1)
        return std::nullopt;
    return RecCard{
        .id = QStringLiteral("junk"),
        .icon = "trash"_sym,
        .title = formatBytes(f->bytes) + QStringLiteral(" can be safely recovered"),
        .why = QStringLiteral("Temporary caches, logs and Trash are using space they no longer "
                              "need."),
        .ifIgnored = QStringLiteral("Nothing urgent — the unnecessary storage will continue to "
                                    "accumulate."),
        .actionTitle = QStringLiteral("Review cleanup"),
        .featureID = QStringLiteral("disk"),
        .severity = f->severity,
    };
}

std::optional<RecCard> memoryCard(const SystemSnapshot& s) {
    if (s.memTotalBytes == 0 || s.topProcesses.isEmpty())
        return std::nullopt;
    const double r = double(s.memUsedBytes) / double(s.memTotalBytes);
    if (!(r > 0.8))
        return std::nullopt;
    const ProcessMemoryInfo& p = s.topProcesses.front();
    return RecCard{
        .id = QStringLiteral("mem"),
        .icon = "memorychip"_sym,
        .title = p.name + QStringLiteral(" is putting pressure on memory"),
        .why = QStringLiteral("It is using ") + formatBytesClamped(p.memoryBytes) +
               QStringLiteral(" while memory is ") + QString::number(int(r * 100.0)) +
               QStringLiteral("% full."),
        .ifIgnored = QStringLiteral("Your Mac may remain slower until memory pressure falls."),
        .actionTitle = QStringLiteral("Review performance"),
        .featureID = QStringLiteral("performance"),
        .severity = r > 0.9 ? IssueSeverity::Act : IssueSeverity::Watch,
    };
}

std::optional<RecCard> heatCard(const SystemSnapshot& s) {
    const P pressure = s.thermal.pressure;
    if (pressure == P::Serious || pressure == P::Critical) {
        const bool critical = pressure == P::Critical;
        QString why = s.thermalExplanation();
        if (const std::optional<QString> busiest = s.busiestAppName())
            why += QStringLiteral(" ") + *busiest + QStringLiteral(" looks like the main load.");
        return RecCard{
            .id = QStringLiteral("heat"),
            .icon = "thermometer.high"_sym,
            .title = critical ? QStringLiteral("Your Mac is critically hot")
                              : QStringLiteral("Your Mac is running hot"),
            .why = why,
            .ifIgnored = QStringLiteral("Performance may stay limited until the Mac cools down."),
            .actionTitle = QStringLiteral("Review heat"),
            .featureID = QStringLiteral("performance"),
            .severity = critical ? IssueSeverity::Act : IssueSeverity::Watch,
        };
    }
    if (pressure == P::Fair && s.cpuPercent > 60.0) {
        return RecCard{
            .id = QStringLiteral("warm"),
            .icon = "thermometer.medium"_sym,
            .title = QStringLiteral("Your Mac is warming under load"),
            .why = s.thermalExplanation(),
            .ifIgnored = QStringLiteral("Fans may stay loud while the work continues — usually "
                                        "temporary."),
            .actionTitle = QStringLiteral("See temperature"),
            .featureID = QStringLiteral("performance"),
            .severity = IssueSeverity::Watch,
        };
    }
    return std::nullopt;
}

std::optional<RecCard> storageCard(const SystemSnapshot& s) {
    if (s.diskTotalBytes < 1)
        return std::nullopt;
    const double free = s.diskFreeFraction();
    if (!(free < 0.15))
        return std::nullopt;
    return RecCard{
        .id = QStringLiteral("disk"),
        .icon = "internaldrive"_sym,
        .title = QStringLiteral("Your Mac is running low on storage"),
        .why = QStringLiteral("Only ") + formatBytes(s.diskFreeBytes) +
               QStringLiteral(" remains free. The system needs room to work smoothly."),
        .ifIgnored = QStringLiteral("Updates, downloads and app performance may begin to suffer."),
        .actionTitle = QStringLiteral("Find what grew"),
        .featureID = QStringLiteral("disk"),
        .severity = free < 0.1 ? IssueSeverity::Act : IssueSeverity::Watch,
    };
}

std::optional<RecCard> bigFilesCard(const HealthCheck::Status& bigFiles) {
    const HealthCheck::Finding* f = bigFiles.doneFinding();
    if (!f || f->count < 1)
        return std::nullopt;
    const QString bytes = formatBytes(f->bytes);
    return RecCard{
        .id = QStringLiteral("big"),
        .icon = "doc.viewfinder"_sym,
        .title =
            QStringLiteral("You may have forgotten ") + bytes + QStringLiteral(" of large files"),
        .why = QString::number(f->count) + QStringLiteral(" file") +
               (f->count == 1 ? QStringLiteral(" is") : QStringLiteral("s are")) +
               QStringLiteral(" at least 1 GB each."),
        .ifIgnored = QStringLiteral("Nothing will break — they will simply keep using ") + bytes +
                     QStringLiteral("."),
        .actionTitle = QStringLiteral("Review files"),
        .featureID = QStringLiteral("folders"),
        .severity = f->severity,
    };
}

} // namespace

namespace Recommendations {

QList<RecCard> make(const SystemSnapshot& snapshot, const HealthCheck::Status& junk,
                    const HealthCheck::Status& bigFiles) {
    QList<RecCard> cards;
    for (const std::optional<RecCard>& card :
         {junkCard(junk), memoryCard(snapshot), heatCard(snapshot), storageCard(snapshot),
          bigFilesCard(bigFiles)}) {
        if (card)
            cards.append(*card);
    }
    std::stable_sort(cards.begin(), cards.end(),
                     [](const RecCard& a, const RecCard& b) { return a.severity > b.severity; });
    if (cards.size() > 3)
        cards.resize(3);
    return cards;
}

void open(const RecCard& card, ScreenState& screen, NotificationCenter& center) {
    if (card.id == QLatin1String("junk"))
        screen.setDiskMode(DiskMode::System);
    else if (card.id == QLatin1String("disk"))
        screen.setDiskMode(DiskMode::Growth);
    else if (card.id == QLatin1String("big"))
        screen.setFolderMode(FoldersMode::Biggest);
    center.post(Notifications::OpenSection, card.featureID);
}

HomeTone tone(IssueSeverity severity) {
    switch (severity) {
    case IssueSeverity::Good:
        return HomeTone::Green;
    case IssueSeverity::Watch:
        return HomeTone::Accent;
    case IssueSeverity::Act:
        break;
    }
    return HomeTone::Orange;
}

} // namespace Recommendations
