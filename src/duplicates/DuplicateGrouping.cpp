#include "duplicates/DuplicateGrouping.h"

#include "platform/NativePath.h"

#include <cstring>

namespace DuplicateGrouping {

std::optional<Digest> toDigest(const std::optional<QByteArray>& bytes) {
    if (!bytes || bytes->size() != 32)
        return std::nullopt;
    Digest d;
    std::memcpy(d.data(), bytes->constData(), d.size());
    return d;
}

DuplicateGroup makeGroup(const std::vector<DuplicateCandidates::Folder>& folders,
                         Reading* const* run, size_t count, const Digest& digest) {
    struct Member {
        QString path;
        RegularFile::Stamp stamp;
        qint64 allocated = 0;
    };
    std::vector<Member> members;
    members.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const DuplicateCandidates::Candidate& c = *run[i]->file;
        members.push_back({NativePath::decode(QByteArray::fromStdString(
                               DuplicateCandidates::joined(folders[c.folder], c.name))),
                           c.stamp, c.allocated});
    }
    std::sort(members.begin(), members.end(),
              [](const Member& a, const Member& b) { return a.path < b.path; });
    DuplicateGroup group;
    group.id = QUuid::createUuid();
    group.fileSize = run[0]->size();
    group.files.reserve(qsizetype(count));
    group.stamps.reserve(qsizetype(count));
    group.allocatedBytes.reserve(qsizetype(count));
    for (Member& m : members) {
        group.files.append(std::move(m.path));
        group.stamps.append(m.stamp);
        group.allocatedBytes.append(m.allocated);
    }
    group.digest =
        QByteArray(reinterpret_cast<const char*>(digest.data()), qsizetype(digest.size()));
    return group;
}

void putInOrder(QList<DuplicateGroup>& groups) {
    // Each group's reclaimable bytes are counted once, not again at every comparison.
    std::vector<std::pair<qint64, qsizetype>> order;
    order.reserve(size_t(groups.size()));
    for (qsizetype i = 0; i < groups.size(); ++i)
        order.emplace_back(groups.at(i).reclaimableBytes(), i);
    std::sort(order.begin(), order.end(), [&groups](const auto& a, const auto& b) {
        return a.first != b.first
                   ? a.first > b.first
                   : groups.at(a.second).files.first() < groups.at(b.second).files.first();
    });
    QList<DuplicateGroup> sorted;
    sorted.reserve(groups.size());
    for (const auto& [reclaimable, i] : order)
        sorted.append(std::move(groups[i]));
    groups = std::move(sorted);
}

} // namespace DuplicateGrouping
