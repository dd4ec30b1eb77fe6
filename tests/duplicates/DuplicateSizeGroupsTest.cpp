// The size groups of the duplicate search: which of the walk's files are read at all, and in
// what order they reach the comparison.
#include "duplicates/DuplicateSizeGroups.h"

#include <gtest/gtest.h>

namespace {

using DuplicateCandidates::Candidate;
using DuplicateCandidates::Folder;

Candidate file(const char* name, quint32 folder, qint64 size) {
    Candidate c;
    c.name = name;
    c.folder = folder;
    c.stamp.size = size;
    return c;
}

} // namespace

// Only sizes two files or more share are kept, in ascending order of size, across every walker
// thread's list; each file's folder is renumbered to the folder list of the whole walk.
TEST(DuplicateSizeGroups, OnlySharedSizesInOrderAcrossTheWalkersLists) {
    std::vector<DuplicateWalk::Found> lists(3);
    lists[0].folders = {Folder{"/a", 1, 10}, Folder{"/a/x", 1, 11}};
    lists[0].files = {file("big", 0, 9000), file("lone", 1, 1500), file("mid", 1, 4096)};
    lists[1].folders = {Folder{"/b", 1, 20}};
    lists[1].files = {file("mid", 0, 4096), file("big", 0, 9000)};
    // A worker that found nothing.
    lists[2] = {};
    lists.push_back({{Folder{"/c", 1, 30}}, {file("big", 0, 9000), file("other", 0, 2000)}});

    const DuplicateSizeGroups::Shared shared = DuplicateSizeGroups::shared(lists, 2);

    ASSERT_EQ(shared.folders.size(), size_t(4));
    EXPECT_EQ(shared.folders[1].path, "/a/x");
    EXPECT_EQ(shared.folders[2].path, "/b");
    EXPECT_EQ(shared.folders[3].path, "/c");
    std::vector<std::pair<qint64, std::string>> read;
    for (const DuplicateCandidates::Reading* r : shared.files) {
        EXPECT_EQ(r->fd, -1);
        EXPECT_FALSE(r->digest.has_value());
        read.emplace_back(r->size(), shared.folders[r->file->folder].path + "/" + r->file->name);
    }
    std::sort(read.begin(), read.begin() + 2);
    std::sort(read.begin() + 2, read.end());
    EXPECT_EQ(read, (std::vector<std::pair<qint64, std::string>>{{4096, "/a/x/mid"},
                                                                 {4096, "/b/mid"},
                                                                 {9000, "/a/big"},
                                                                 {9000, "/b/big"},
                                                                 {9000, "/c/big"}}));
}

TEST(DuplicateSizeGroups, NoWalkerFoundTwoOfASize) {
    std::vector<DuplicateWalk::Found> lists(2);
    lists[0] = {{Folder{"/a", 1, 10}}, {file("one", 0, 1024)}};
    lists[1] = {{Folder{"/b", 1, 20}}, {file("two", 0, 1025)}};
    const DuplicateSizeGroups::Shared shared = DuplicateSizeGroups::shared(lists, 2);
    EXPECT_TRUE(shared.files.empty());
    EXPECT_TRUE(shared.readings.empty());
    EXPECT_EQ(shared.folders.size(), size_t(2));
}
