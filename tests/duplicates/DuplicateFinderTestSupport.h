#pragma once

#include "duplicates/DuplicateFinder.h"
#include "duplicates/DuplicatesTestSupport.h"
#include "fakes/FakeTrash.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <QList>
#include <sys/stat.h>

namespace duptest {

// A finder on a fake Trash, with every state it published.
struct Finder {
    std::shared_ptr<FakeTrash> trash =
        std::make_shared<FakeTrash>(testsupport::freshDir("fake-trash"));
    DuplicateFinder finder;
    QList<DuplicateFinder::State> states;

    explicit Finder(DuplicateScan::Options options = {}) : finder(trash, std::move(options)) {
        QObject::connect(&finder, &DuplicateFinder::stateChanged,
                         [this] { states.append(finder.state()); });
    }
    bool waitDone() {
        return testsupport::waitFor([this] { return finder.state().phase != ScanPhase::Running; });
    }
};

// Holds every hash until released, so a scan can be caught while it runs.
struct Gate {
    std::mutex lock;
    std::condition_variable opened;
    bool open = false;
    void release() {
        std::lock_guard<std::mutex> guard(lock);
        open = true;
        opened.notify_all();
    }
    DuplicateScan::Hasher hasher() {
        return [this](const std::string& path, qint64 limit, const CancelToken& cancel) {
            std::unique_lock<std::mutex> guard(lock);
            opened.wait(guard, [this] { return open; });
            guard.unlock();
            return DuplicateScan::fileDigest(path, limit, cancel);
        };
    }
};

// Runs keepOneOfEach() to its end and returns what it brought.
inline DuplicateFinder::TrashResult keptOneOfEach(DuplicateFinder& finder) {
    std::optional<DuplicateFinder::TrashResult> ended;
    const QMetaObject::Connection c =
        QObject::connect(&finder, &DuplicateFinder::keptOneOfEach,
                         [&ended](const DuplicateFinder::TrashResult& r) { ended = r; });
    finder.keepOneOfEach();
    EXPECT_TRUE(testsupport::waitFor([&] { return ended.has_value(); }, 20000));
    QObject::disconnect(c);
    return ended.value_or(DuplicateFinder::TrashResult{});
}

// A folder with a group of `copies` copies of one content of `size` bytes.
inline QString folderWith(const QString& name, int copies, qsizetype size = 2000, int seed = 1) {
    const QString dir = testsupport::freshDir(name);
    for (int i = 0; i < copies; ++i)
        write(QStringLiteral("%1/copy%2").arg(dir).arg(i), bytes(size, seed));
    return dir;
}

// What the disk holds for a file: st_blocks × 512.
inline qint64 onDisk(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? qint64(st.st_blocks) * 512 : -1;
}

} // namespace duptest
