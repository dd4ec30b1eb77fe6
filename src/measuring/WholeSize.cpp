#include "measuring/WholeSize.h"

#include <algorithm>

namespace WholeSize {

void add(Tally& tally, const DirectoryWalker::Entry& entry) {
    if (!entry.repeatLink)
        tally.bytes += entry.allocatedBytes;
    if (entry.isFile())
        ++tally.files;
}

Tally of(const QString& path, int threads, const CancelToken& cancel) {
    const DirectoryWalker walker({std::max(1, threads), true, false}, cancel);
    PerWorker<Tally> tallies(walker.threads());
    walker.walk(path, [&](const DirectoryWalker::Entry& e) {
        add(tallies.slot(e.worker), e);
        return DirectoryWalker::Action::Continue;
    });
    return tallies.fold(Tally{}, [](Tally sum, const Tally& t) {
        sum.bytes += t.bytes;
        sum.files += t.files;
        return sum;
    });
}

} // namespace WholeSize
