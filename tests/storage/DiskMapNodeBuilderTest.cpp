#include "storage/DiskMapNodeBuilder.h"

#include <gtest/gtest.h>
#include <QStringList>

using namespace DiskMapRecords;
using C = DiskMapCategory;

namespace {

// A builder over records made by hand, whose folders can be listed unless named "Locked".
struct Builder {
    DiskMapMeasurer::Options options;
    DiskMapTally tally{1, CancelToken(), {}};
    QStringList sized;
    DiskMapNodeBuilder builder{options, tally,
                               [this](Sink& sink) { sized << QString::fromStdString(sink.path); }};
    Builder() {
        options.canList = [](const QString& path) { return !path.endsWith("Locked"); };
    }
};

void fillSink(Sink& sink, const std::string& path, qint64 blocks, qint64 fileBytes, qint64 files) {
    sink.path = path;
    sink.name = QString::fromStdString(path.substr(path.rfind('/') + 1));
    sink.blocks = blocks;
    sink.bytes = blocks + fileBytes;
    sink.files = files;
}

Folder folderAt(const std::string& path, int depth, qint64 blocks) {
    Folder folder;
    folder.path = path;
    folder.name = QString::fromStdString(path.substr(path.rfind('/') + 1));
    folder.depth = depth;
    folder.blocks = blocks;
    return folder;
}

QStringList names(const MapNode& node) {
    QStringList out;
    for (const MapNode& kid : node.children)
        out << kid.name;
    return out;
}

} // namespace

// A folder's size holds its own share (its blocks, its hidden items, its subfolders of folders
// only) beside its kids; only its visible kids are drawn, largest first.
TEST(DiskMapNodeBuilder, TheOwnShareCountsWithoutATile) {
    Builder b;
    Folder docs = folderAt("/h/qzx", 1, 4096);
    docs.entries = 6;
    docs.hiddenBytes = 8192;
    docs.hiddenFiles = 1;
    Sink hidden, empty, modules;
    fillSink(hidden, "/h/qzx/.cache", 4096, 3 * 4096, 2);
    fillSink(empty, "/h/qzx/empty.app", 2 * 4096, 0, 0);
    fillSink(modules, "/h/qzx/node_modules", 4096, 4096, 1);
    modules.category = C::Code;
    Folder sub = folderAt("/h/qzx/Sub", 2, 4096);
    sub.entries = 1;
    sub.looseCount = 1;
    sub.looseBytes = 4096;
    docs.kids = {{nullptr, &hidden, -1, true},
                 {nullptr, &empty, -1, false},
                 {&sub, nullptr, -1, false},
                 {nullptr, &modules, -1, false}};
    docs.looseCount = 2;
    docs.looseBytes = 5 * 4096;
    docs.looseByCategory[size_t(C::Media)] = 5 * 4096;
    docs.looseEntered[size_t(C::Media)] = true;

    const DiskMapNodeBuilder::Built built = b.builder.folder(docs, QString());
    ASSERT_TRUE(built.node);
    const MapNode& node = *built.node;
    EXPECT_EQ(node.id, "/h/qzx");
    EXPECT_EQ(names(node), QStringList({"2 loose files", "Sub", "node_modules"}));
    EXPECT_EQ(node.children[1].id, "/h/qzx/Sub");
    const qint64 own = 4096 + 8192 + 4 * 4096 + 2 * 4096; // blocks, hidden file, .cache, empty
    EXPECT_EQ(node.sizeBytes, own + 5 * 4096 + 2 * 4096 + 2 * 4096);
    EXPECT_EQ(built.bytes, node.sizeBytes);
    EXPECT_EQ(node.fileCount, 1 + 2 + 0 + 1 + 1 + 2);
    EXPECT_EQ(node.children[0].category, C::Media);
    EXPECT_EQ(node.category, C::Media);
    EXPECT_EQ(b.sized, QStringList({"/h/qzx/.cache", "/h/qzx/empty.app", "/h/qzx/node_modules"}));
}

TEST(DiskMapNodeBuilder, WhatIsLeftOutAndWhatStays) {
    Builder b;
    // Nothing but folders: no node, its blocks for its parent.
    Folder bare = folderAt("/h/Bare", 1, 4096);
    bare.entries = 1;
    Folder inner = folderAt("/h/Bare/inner", 2, 4096);
    bare.kids = {{&inner, nullptr, -1, false}};
    const DiskMapNodeBuilder::Built left = b.builder.folder(bare, QString());
    EXPECT_FALSE(left.node);
    EXPECT_EQ(left.bytes, 2 * 4096);

    // Hidden items only: a node with no tile inside.
    Folder dotted = folderAt("/h/Dotted", 1, 4096);
    dotted.entries = 1;
    dotted.hiddenBytes = 4096;
    dotted.hiddenFiles = 1;
    const DiskMapNodeBuilder::Built kept = b.builder.folder(dotted, QString());
    ASSERT_TRUE(kept.node);
    EXPECT_EQ(kept.node->sizeBytes, 2 * 4096);
    EXPECT_FALSE(kept.node->hasChildren());

    // At the childless depth the kids are measured and not kept.
    Folder deep = folderAt("/h/a/b/c/Deep", DiskMapMeasurer::childlessDepth, 4096);
    deep.entries = 1;
    deep.looseCount = 1;
    deep.looseBytes = 4096;
    EXPECT_FALSE(b.builder.folder(deep, QString()).node->hasChildren());

    // A folder that showed nothing and cannot be listed stays, as its own blocks.
    Folder locked = folderAt("/h/Locked", 1, 4096);
    const DiskMapNodeBuilder::Built unreadable = b.builder.folder(locked, QString());
    ASSERT_TRUE(unreadable.node);
    EXPECT_EQ(unreadable.node->sizeBytes, 4096);
    EXPECT_EQ(b.tally.unreadable(), 1);
}
