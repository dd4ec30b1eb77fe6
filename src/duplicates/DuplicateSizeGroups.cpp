#include "duplicates/DuplicateSizeGroups.h"

#include "platform/ParallelLoop.h"

#include <algorithm>

namespace DuplicateSizeGroups {

using DuplicateCandidates::Candidate;
using DuplicateCandidates::Folder;
using DuplicateCandidates::Reading;

Shared shared(std::vector<DuplicateWalk::Found>& lists, int threads) {
    // The candidates stay in the workers' lists; their folders are numbered across all of them.
    // Each worker's files are put in order of size on a thread of their own, then the lists are
    // merged, half of them into the other half at each step.
    Shared out;
    const size_t workers = lists.size();
    std::vector<quint32> firstFolder(workers);
    std::vector<size_t> firstFile(workers + 1, 0);
    for (size_t w = 0; w < workers; ++w) {
        firstFolder[w] = quint32(out.folders.size());
        for (Folder& f : lists[w].folders)
            out.folders.push_back(std::move(f));
        firstFile[w + 1] = firstFile[w] + lists[w].files.size();
    }
    std::vector<std::pair<qint64, const Candidate*>> bySize(firstFile[workers]);
    const auto from = [&bySize, &firstFile](size_t w) {
        return bySize.begin() + qsizetype(firstFile[std::min(w, firstFile.size() - 1)]);
    };
    ParallelLoop::run(workers, threads, [&](size_t w, int) {
        auto to = from(w);
        for (Candidate& c : lists[w].files) {
            c.folder += firstFolder[w];
            *to++ = {c.stamp.size, &c};
        }
        std::sort(from(w), from(w + 1));
    });
    for (size_t width = 1; width < workers; width *= 2)
        ParallelLoop::run((workers + 2 * width - 1) / (2 * width), threads, [&](size_t m, int) {
            const size_t low = m * 2 * width;
            std::inplace_merge(from(low), from(low + width), from(low + 2 * width));
        });

    size_t shared = 0;
    for (size_t start = 0, end; start < bySize.size(); start = end) {
        for (end = start + 1; end < bySize.size() && bySize[end].first == bySize[start].first;)
            ++end;
        if (end - start >= 2)
            shared += end - start;
    }
    out.readings = std::vector<Reading>(shared);
    out.files.reserve(shared);
    for (size_t start = 0, end; start < bySize.size(); start = end) {
        for (end = start + 1; end < bySize.size() && bySize[end].first == bySize[start].first;)
            ++end;
        if (end - start >= 2)
            for (size_t i = start; i < end; ++i) {
                Reading& r = out.readings[out.files.size()];
                r.file = bySize[i].second;
                out.files.push_back(&r);
            }
    }
    return out;
}

} // namespace DuplicateSizeGroups
