#include "storage/DiskMapMeasurer.h"

#include "platform/ParallelLoop.h"
#include "storage/DiskMapItemWalk.h"

DiskMapMeasurer::DiskMapMeasurer() : DiskMapMeasurer(Options()) {}

DiskMapMeasurer::DiskMapMeasurer(Options options) : m_options(std::move(options)) {}

QString DiskMapMeasurer::looseName(qint64 count) {
    return count == 1 ? QStringLiteral("1 loose file")
                      : QString::number(count) + QStringLiteral(" loose files");
}

std::optional<MapNode> DiskMapMeasurer::measure(const QString& path, int depth,
                                                DiskMapCategory inherited,
                                                DiskMapTally& tally) const {
    if (tally.token().isCancelled())
        return std::nullopt;
    return DiskMapItemWalk::measure(m_options, tally, threads(), path, depth, inherited);
}

std::vector<std::optional<MapNode>> DiskMapMeasurer::measureItems(const QString& folder,
                                                                  const std::vector<Item>& items,
                                                                  DiskMapTally& tally) const {
    if (tally.token().isCancelled())
        return {};
    return DiskMapItemWalk::measureItems(m_options, tally, threads(), folder, items);
}

int DiskMapMeasurer::threads() const {
    return m_options.walkerThreads > 0 ? m_options.walkerThreads : ParallelLoop::diskThreads();
}
