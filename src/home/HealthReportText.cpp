#include "home/HealthReportText.h"

#include "platform/ByteFormat.h"
#include "platform/SymbolName.h"
#include "platform/TextConstant.h"
#include "shell/QKFeature.h"
#include "vitals/SystemSnapshot.h"

namespace HealthReportText {

namespace {

std::optional<double> memoryRatio(const SystemSnapshot& s) {
    if (s.memTotalBytes == 0)
        return std::nullopt;
    return double(s.memUsedBytes) / double(s.memTotalBytes);
}

std::optional<double> freeRatio(const SystemSnapshot& s) {
    if (s.diskTotalBytes < 1)
        return std::nullopt;
    return s.diskFreeFraction();
}

} // namespace

int healthScore(const SystemSnapshot& s) {
    const bool busy = s.cpuPercent > 80.0;
    int score = busy ? 90 : 100;
    if (const std::optional<double> r = memoryRatio(s)) {
        if (*r > 0.85)
            score = busy ? 75 : 85;
        else if (*r > 0.7)
            score = busy ? 82 : 92;
    }
    if (const std::optional<double> f = freeRatio(s)) {
        if (*f < 0.1)
            score -= 20;
        else if (*f < 0.2)
            score -= 10;
    }
    return score;
}

HomeTone scoreTone(int score) {
    if (score > 89)
        return HomeTone::Green;
    if (score >= 70)
        return HomeTone::Orange;
    return HomeTone::Red;
}

QString performanceVerdict(const SystemSnapshot& s) {
    const std::optional<double> r = memoryRatio(s);
    if ((r && *r > 0.85) || s.cpuPercent > 80.0)
        return QStringLiteral("Needs attention");
    if (r && *r > 0.7)
        return QStringLiteral("Fair");
    return QStringLiteral("Good");
}

QString storageValue(const SystemSnapshot& s) {
    return formatBytes(s.diskFreeBytes) + QStringLiteral(" free");
}

QString recoveryPotential(qint64 recoverableBytes) {
    return recoverableBytes < 1 ? QStringLiteral("Nothing flagged yet")
                                : formatBytes(recoverableBytes);
}

QList<Recommendation> recommendations(const SystemSnapshot& s, qint64 junkBytes) {
    QList<Recommendation> list;
    if (junkBytes >= 1)
        list.append({QStringLiteral("Clear ") + formatBytes(junkBytes) +
                         QStringLiteral(" of safe temporary files."),
                     QStringLiteral("disk")});
    const std::optional<double> r = memoryRatio(s);
    if (r && *r > 0.8 && !s.topProcesses.isEmpty()) {
        const ProcessMemoryInfo& p = s.topProcesses.front();
        list.append({QStringLiteral("Quit ") + p.name + QStringLiteral(" to free ") +
                         formatBytesClamped(p.memoryBytes) + QStringLiteral(" of memory."),
                     QStringLiteral("performance")});
    }
    const std::optional<double> f = freeRatio(s);
    if (f && *f < 0.15)
        list.append({QStringLiteral("Storage is tight. Pendrel can explain where the space went."),
                     QStringLiteral("folders")});
    if (list.isEmpty())
        list.append({QStringLiteral("Nothing urgent. Your Mac looks healthy."), std::nullopt});
    return list;
}

QList<Card> cards(const SystemSnapshot& s) {
    QString batteryDetail = QStringLiteral("On battery");
    if (!s.batteryPercent)
        batteryDetail = QStringLiteral("Desktop Mac");
    else if (s.batteryCharging)
        batteryDetail = QStringLiteral("Charging");
    return {
        {QStringLiteral("Memory"), "memorychip"_sym, formatBytesClamped(s.memUsedBytes),
         QStringLiteral("of ") + formatBytesClamped(s.memTotalBytes) + QStringLiteral(" used")},
        {QStringLiteral("CPU"), "cpu"_sym, QStringLiteral("%1%").arg(s.cpuPercent, 0, 'f', 0),
         QStringLiteral("load right now")},
        {QStringLiteral("Disk"), "internaldrive"_sym, formatBytes(s.diskFreeBytes),
         QStringLiteral("free of ") + formatBytes(s.diskTotalBytes)},
        {QStringLiteral("Battery"), "battery.100"_sym,
         s.batteryPercent ? QString::number(*s.batteryPercent) + QStringLiteral("%")
                          : QStringLiteral("N/A"),
         batteryDetail},
        {QStringLiteral("Developer"), "hammer"_sym, QStringLiteral("—"),
         QStringLiteral("Check Developer Centre for Docker, build and package caches.")},
        {QStringLiteral("Apps"), "app"_sym, QStringLiteral("—"),
         QStringLiteral("Open Application Intelligence to review unused apps and leftovers.")},
    };
}

QString openName(const QString& section) {
    const QKFeature* feature = QKFeature::lookup(section);
    return feature ? openTitle() + QLatin1Char(' ') + feature->title : openTitle();
}

QString dateLine(const QDate& date, const QLocale& locale) {
    return locale.toString(date, QLocale::LongFormat);
}

PENDREL_TEXT(subtitle, "Pendrel compiles this from your Mac's live data. Full weekly history "
                       "and trends are coming.")
PENDREL_TEXT(openTitle, "Open")
PENDREL_TEXT(windowTitle, "Health Report")
PENDREL_TEXT(title, "Pendrel Report")
PENDREL_TEXT(scoreCaption, "Health")
PENDREL_TEXT(storageName, "Storage")
PENDREL_TEXT(performanceName, "Performance")
PENDREL_TEXT(recoveryName, "Recovery potential")
PENDREL_TEXT(recommendationsTitle, "Recommendations")

} // namespace HealthReportText
