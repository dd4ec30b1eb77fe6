#include "duplicates/DuplicateScan.h"

#include "cleaning/CategoryMeasurer.h"
#include "platform/DirectoryWalker.h"
#include "platform/NativePath.h"
#include "platform/ParallelLoop.h"
#include "platform/RegularFile.h"
#include "platform/Sha256.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace {

struct Candidate {
    std::string path;
    qint64 size = 0;
    qint64 allocated = 0;
};

using Digest = std::array<unsigned char, 32>;

// One file of a hashing pass and what it hashed to. In the pass that settles the file, also its
// stamp from just before it was read.
struct Hashed {
    const Candidate* file = nullptr;
    std::optional<Digest> digest;
    RegularFile::Stamp stamp;
};

std::optional<Digest> toDigest(const std::optional<QByteArray>& bytes) {
    if (!bytes || bytes->size() != 32)
        return std::nullopt;
    Digest d;
    std::memcpy(d.data(), bytes->constData(), d.size());
    return d;
}

bool folderOpens(const QString& folder) {
    const QByteArray native = NativePath::encode(folder);
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// Hashes every file of `files` in parallel, each up to `limit` bytes, biggest first. A file that
// this pass settles (its whole content is read) is stamped first; one that is no longer a regular
// file of the size the walk saw gets no digest.
void hashAll(std::vector<Hashed>& files, qint64 limit, int threads,
             const DuplicateScan::Hasher& hasher, const CancelToken& cancel) {
    std::sort(files.begin(), files.end(),
              [](const Hashed& a, const Hashed& b) { return a.file->size > b.file->size; });
    ParallelLoop::run(files.size(), threads, [&](size_t i, int) {
        if (cancel.isCancelled())
            return;
        Hashed& h = files[i];
        if (limit < 0 || h.file->size <= limit) {
            const std::optional<RegularFile::Stamp> stamp =
                RegularFile::stampAt(QByteArray::fromStdString(h.file->path));
            if (!stamp || stamp->size != h.file->size)
                return;
            h.stamp = *stamp;
        }
        h.digest = toDigest(hasher(h.file->path, limit, cancel));
    });
}

// Splits hashed files of one size into runs of equal digest (files without one left out); calls
// take(run) for every run of two or more.
template <typename Take> void equalRuns(std::vector<Hashed>& files, const Take& take) {
    files.erase(
        std::remove_if(files.begin(), files.end(), [](const Hashed& h) { return !h.digest; }),
        files.end());
    std::sort(files.begin(), files.end(), [](const Hashed& a, const Hashed& b) {
        if (a.file->size != b.file->size)
            return a.file->size < b.file->size;
        return *a.digest < *b.digest;
    });
    for (size_t start = 0; start < files.size();) {
        size_t end = start + 1;
        while (end < files.size() && files[end].file->size == files[start].file->size &&
               *files[end].digest == *files[start].digest)
            ++end;
        if (end - start >= 2)
            take(files.data() + start, end - start);
        start = end;
    }
}

DuplicateGroup makeGroup(const Hashed* run, size_t count) {
    struct Member {
        QString path;
        RegularFile::Stamp stamp;
        qint64 allocated = 0;
    };
    std::vector<Member> members;
    members.reserve(count);
    for (size_t i = 0; i < count; ++i)
        members.push_back({NativePath::decode(QByteArray::fromStdString(run[i].file->path)),
                           run[i].stamp, run[i].file->allocated});
    std::sort(members.begin(), members.end(),
              [](const Member& a, const Member& b) { return a.path < b.path; });
    DuplicateGroup group;
    group.id = QUuid::createUuid();
    group.fileSize = run->file->size;
    group.files.reserve(qsizetype(count));
    group.stamps.reserve(qsizetype(count));
    group.allocatedBytes.reserve(qsizetype(count));
    for (Member& m : members) {
        group.files.append(std::move(m.path));
        group.stamps.append(m.stamp);
        group.allocatedBytes.append(m.allocated);
    }
    group.digest = QByteArray(reinterpret_cast<const char*>(run->digest->data()),
                              qsizetype(run->digest->size()));
    return group;
}

} // namespace

namespace DuplicateScan {

std::optional<QByteArray> digest(const std::function<qsizetype(char*, qsizetype)>& read,
                                 qint64 limit, const CancelToken& cancel) {
    thread_local std::vector<char> buffer(static_cast<size_t>(Sha256::pieceSize));
    Sha256 hash;
    qint64 left = limit < 0 ? std::numeric_limits<qint64>::max() : limit;
    while (left > 0) {
        if (cancel.isCancelled())
            return std::nullopt;
        const qsizetype want = qsizetype(std::min<qint64>(left, Sha256::pieceSize));
        const qsizetype got = read(buffer.data(), want);
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        hash.update(buffer.data(), got);
        left -= got;
    }
    return hash.finish();
}

std::optional<QByteArray> fileDigest(const std::string& path, qint64 limit,
                                     const CancelToken& cancel) {
    RegularFile file(NativePath::decode(QByteArray::fromStdString(path)));
    if (!file.isOpen())
        return std::nullopt;
    return digest([&file](char* buffer, qsizetype capacity) { return file.read(buffer, capacity); },
                  limit, cancel);
}

Outcome run(const QString& folder, const Options& options) {
    Outcome outcome;
    if (!folderOpens(folder))
        return outcome;
    outcome.readable = true;
    const CancelToken& cancel = options.cancel;
    const int threads = options.threads > 0 ? options.threads : ParallelLoop::flatThreads();
    const Hasher hasher = options.hasher ? options.hasher : Hasher(fileDigest);

    // Walk: every worker collects into its own list.
    DirectoryWalker::Options walkOptions;
    walkOptions.threads = threads;
    const DirectoryWalker walker(walkOptions, cancel);
    PerWorker<std::vector<Candidate>> found(walker.threads());
    std::atomic<qint64> counted{0};
    const DirectoryWalker::Result walked = walker.walk(folder, [&](const DirectoryWalker::Entry&
                                                                       e) {
        if (e.depth == 0)
            return DirectoryWalker::Action::Continue;
        if (e.isHidden())
            return DirectoryWalker::Action::SkipChildren;
        if (e.isDirectory())
            return CategoryMeasurer::isPackageName(e.name) ? DirectoryWalker::Action::SkipChildren
                                                           : DirectoryWalker::Action::Continue;
        if (!e.isFile() || e.repeatLink || e.sizeBytes < minimumSize)
            return DirectoryWalker::Action::Continue;
        std::string path;
        path.reserve(e.folder.size() + 1 + e.name.size());
        path.append(e.folder);
        if (path.empty() || path.back() != '/')
            path.push_back('/');
        path.append(e.name);
        found.slot(e.worker).push_back(Candidate{std::move(path), e.sizeBytes, e.allocatedBytes});
        const qint64 n = counted.fetch_add(1, std::memory_order_relaxed) + 1;
        if (n % progressStep == 0 && options.progress)
            options.progress(n);
        return DirectoryWalker::Action::Continue;
    });
    outcome.candidates = counted.load();
    if (walked.cancelled || cancel.isCancelled()) {
        outcome.cancelled = true;
        return outcome;
    }

    std::vector<Candidate> all;
    all.reserve(size_t(outcome.candidates));
    for (int w = 0; w < walker.threads(); ++w)
        for (Candidate& c : found.slot(w))
            all.push_back(std::move(c));
    std::sort(all.begin(), all.end(), [](const Candidate& a, const Candidate& b) {
        return a.size != b.size ? a.size < b.size : a.path < b.path;
    });

    // Every file that shares its size with another goes through the passes in turn; each pass
    // hashes a longer prefix of the files whose shorter prefixes matched. A file no longer than a
    // pass's prefix is settled by it. The quick first pass only saves reading whole heads of files
    // that already differ near their start: a group needs equal heads and equal contents either
    // way.
    std::vector<Hashed> pending;
    for (size_t start = 0; start < all.size();) {
        size_t end = start + 1;
        while (end < all.size() && all[end].size == all[start].size)
            ++end;
        if (end - start >= 2)
            for (size_t i = start; i < end; ++i)
                pending.push_back(Hashed{&all[i], std::nullopt, {}});
        start = end;
    }
    for (const qint64 prefix : {quickBytes, headBytes, qint64(-1)}) {
        if (pending.empty())
            break;
        hashAll(pending, prefix, threads, hasher, cancel);
        if (cancel.isCancelled()) {
            outcome.cancelled = true;
            return outcome;
        }
        std::vector<Hashed> next;
        equalRuns(pending, [&](const Hashed* run, size_t count) {
            if (prefix < 0 || run->file->size <= prefix)
                outcome.groups.append(makeGroup(run, count));
            else
                for (size_t i = 0; i < count; ++i)
                    next.push_back(Hashed{run[i].file, std::nullopt, {}});
        });
        pending = std::move(next);
    }

    std::sort(outcome.groups.begin(), outcome.groups.end(),
              [](const DuplicateGroup& a, const DuplicateGroup& b) {
                  const qint64 ra = a.reclaimableBytes();
                  const qint64 rb = b.reclaimableBytes();
                  return ra != rb ? ra > rb : a.files.first() < b.files.first();
              });
    return outcome;
}

} // namespace DuplicateScan
