// What a finder publishes of its groups: a sweep's end taken in against what is on show, lists
// freed away from the main thread, the keys made with the groups, a clear that ends a sweep's
// progress, the one way a copy goes to the Trash, and a long path broken in few measurements.
#include "duplicates/FoundGroups.h"
#include "duplicates/DuplicatesText.h"
#include "fakes/FakeTrash.h"
#include "support/TestSupport.h"

#include <atomic>
#include <future>
#include <memory>
#include <QThread>
#include <QUuid>

namespace {

// Tells which thread let go of the last copy of a group.
struct Release {
    std::atomic<QThread*> on{nullptr};
    std::atomic<bool> done{false};
};

struct Group {
    QUuid id;
    QStringList files;
    std::shared_ptr<int> last; // its deleter notes the thread
};

Group group(const QStringList& files, const std::shared_ptr<Release>& release = {}) {
    Group g{QUuid::createUuid(), files, {}};
    if (release)
        g.last = std::shared_ptr<int>(new int(0), [release](int* p) {
            delete p;
            release->on = QThread::currentThread();
            release->done = true;
        });
    return g;
}

using Found = FoundGroups<Group, int, QStringList>;

struct Shelf {
    QObject owner;
    ScanJob job;
    int changes = 0;
    std::optional<QStringList> swept;
    std::function<Found::Moved(const Group&)> move = [](const Group& g) {
        return Found::Moved{{}, QStringList{g.files.first()}};
    };
    Found found{&owner,
                job,
                {[this](const Group& g, const int&, Trash*) { return move(g); },
                 [](const Group& g, const QStringList& left) {
                     return Group{QUuid::createUuid(), left, g.last};
                 },
                 [this] { ++changes; }, [] {}, [this](const QStringList& t) { swept = t; }}};
};

} // namespace

TEST(FoundGroups, ASweepEndsOnTheGroupsShownThenNotOnThoseItStartedFrom) {
    Shelf shelf;
    const Group a = group({"/a1", "/a2"});
    shelf.found.set({a, group({"/b1", "/b2"})});
    // The sweep keeps both copies of a (they could not be moved) and moves b's second.
    std::promise<void> gate;
    std::shared_future<void> opened = gate.get_future().share();
    shelf.move = [opened](const Group& g) {
        opened.wait();
        return Found::Moved{{g.files.first()},
                            g.files.first() == "/a1" ? g.files : QStringList{g.files.first()}};
    };
    shelf.found.sweep(0, nullptr);
    // Meanwhile a's copy is moved by hand: a leaves the list.
    EXPECT_EQ(shelf.found.take(a, Found::Moved{{}, QStringList{"/a1"}}), QStringList());
    ASSERT_EQ(shelf.found.groups().size(), 1);
    gate.set_value();
    ASSERT_TRUE(testsupport::waitFor([&] { return shelf.swept.has_value(); }));
    // Nothing comes back of a, which the sweep still saw with two copies.
    EXPECT_TRUE(shelf.found.groups().isEmpty());
    EXPECT_EQ(*shelf.swept, QStringList({"/a1", "/b1"}));
    EXPECT_FALSE(shelf.found.cleaning());
}

TEST(FoundGroups, ListsItReplacesAreFreedOffTheMainThread) {
    Shelf shelf;
    const auto published = std::make_shared<Release>();
    shelf.found.set({group({"/a1", "/a2"}, published)});
    shelf.found.set({group({"/c1", "/c2"})});
    ASSERT_TRUE(testsupport::waitFor([&] { return published->done.load(); }));
    EXPECT_NE(published->on.load(), QThread::currentThread());

    // A sweep's end: the groups before it and its own copies.
    const auto swept = std::make_shared<Release>();
    shelf.found.set({group({"/d1", "/d2"}, swept)});
    shelf.found.sweep(0, nullptr);
    ASSERT_TRUE(testsupport::waitFor([&] { return shelf.swept.has_value() && swept->done; }));
    EXPECT_TRUE(shelf.found.groups().isEmpty());
    EXPECT_NE(swept->on.load(), QThread::currentThread());
}

TEST(FoundGroups, KeysAreMadeWithTheGroupsAndTakenInAsTheyAre) {
    Shelf shelf;
    const Group a = group({"/a1", "/a2"});
    const Group b = group({"/b1", "/b2"});
    // Made where the list is made (a scan's thread) and only handed over: not made again, not
    // copied.
    Found::Listed listed = Found::Listed::of({a, b});
    const QStringList made = listed.keys;
    shelf.found.publish(std::move(listed));
    EXPECT_TRUE(shelf.found.keys().isSharedWith(made));
    EXPECT_EQ(made, QStringList({Found::keyOf(a.id), Found::keyOf(b.id)}));
    EXPECT_EQ(Found::keyOf(a.id), a.id.toString(QUuid::WithoutBraces));

    // They follow the groups through a move by hand and a sweep's end.
    shelf.found.take(a, Found::Moved{{}, QStringList{"/a1"}});
    EXPECT_EQ(shelf.found.keys(), QStringList{Found::keyOf(b.id)});
    // The sweep moves c's third copy only: c is rebuilt under a new id on the sweep's thread.
    shelf.move = [](const Group& g) { return Found::Moved{{}, g.files.mid(0, 2)}; };
    shelf.found.set({b, group({"/c1", "/c2", "/c3"})});
    shelf.found.sweep(0, nullptr);
    ASSERT_TRUE(testsupport::waitFor([&] { return shelf.swept.has_value(); }));
    ASSERT_EQ(shelf.found.groups().size(), 2);
    QStringList keys;
    for (const Group& g : shelf.found.groups())
        keys.append(Found::keyOf(g.id));
    EXPECT_EQ(shelf.found.keys(), keys);
    EXPECT_EQ(shelf.found.groups().last().files, QStringList({"/c1", "/c2"}));
    shelf.found.clear();
    EXPECT_TRUE(shelf.found.keys().isEmpty());
}

TEST(FoundGroups, AClearDropsTheGroupsAndASweepsProgress) {
    Shelf shelf;
    int cleaningChanges = 0;
    Found found{&shelf.owner,
                shelf.job,
                {[](const Group& g, const int&, Trash*) {
                     return Found::Moved{{}, QStringList{g.files.first()}};
                 },
                 [](const Group& g, const QStringList&) { return g; }, [] {},
                 [&cleaningChanges] { ++cleaningChanges; }, [](const QStringList&) {}}};
    found.set({group({"/a1", "/a2"})});
    found.setCleaning(KeepSweep::Progress{0, 1});
    found.clear();
    EXPECT_TRUE(found.groups().isEmpty());
    EXPECT_FALSE(found.cleaning());
    EXPECT_EQ(cleaningChanges, 2);
}

TEST(KeepSweep, ACopyGoesOnlyThroughTheFolderSearched) {
    const QString dir = testsupport::freshDir("keep-sweep-move");
    const QString inside = testsupport::write(dir + "/searched/copy", "bytes");
    const QString outside = testsupport::write(dir + "/elsewhere/copy2", "bytes");
    FakeTrash trash(dir + "/trash");
    QStringList errors;
    EXPECT_TRUE(KeepSweep::moveCopy(&trash, dir + "/searched", inside, errors));
    EXPECT_FALSE(KeepSweep::moveCopy(&trash, dir + "/searched", outside, errors));
    EXPECT_FALSE(KeepSweep::moveCopy(nullptr, dir + "/elsewhere", outside, errors));
    EXPECT_EQ(errors, QStringList({"copy2: " + Trash::notBelowText(),
                                   "copy2: The Trash is not available."}));
    EXPECT_EQ(trash.moved(), QStringList{inside});
}

TEST(DuplicateRows, ALongPathIsBrokenInFewMeasurements) {
    // Ten pixels a character; every head the breaking looks at is one measurement.
    int measured = 0;
    const auto advance = [&measured](const QString& text) {
        ++measured;
        return int(text.size()) * 10;
    };
    QString path;
    for (int i = 0; i < 12; ++i)
        path += QStringLiteral("/folder-number-%1").arg(i);
    path += QStringLiteral("/photo.jpg");
    const QStringList lines = DuplicatesText::pathLines(path, 3, 600, advance);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("…/folder-number-")));
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("/photo.jpg")));
    for (const QString& line : lines)
        EXPECT_LE(line.size() * 10, 600);
    // Each line by halves: a handful of measurements, not one per character.
    EXPECT_LT(measured, 250);

    // A deep path loses its head by halves too, not by breaking the rest again for each folder.
    measured = 0;
    QString deep;
    for (int i = 0; i < 60; ++i)
        deep += QStringLiteral("/f%1").arg(i, 2, 10, QLatin1Char('0'));
    deep += QStringLiteral("/photo.jpg");
    EXPECT_EQ(DuplicatesText::pathLines(deep, 3, 100, advance),
              QStringList({"…/f56/f57/", "f58/f59/", "photo.jpg"}));
    EXPECT_LT(measured, 600);
}

TEST(DuplicateRows, APathIsBrokenAtItsFoldersBeforeItsCharacters) {
    int measured = 0;
    // Wider letters than others, so no head is a multiple of another.
    const auto advance = [&measured](const QString& text) {
        ++measured;
        int width = 0;
        for (QChar c : text)
            width += c.isUpper() ? 9 : c == QLatin1Char('/') ? 4 : 6;
        return width;
    };
    // The longest head that fits, character by character: what the breaking must come to.
    const auto greedy = [&](QString rest, int width) {
        QStringList lines;
        while (!rest.isEmpty()) {
            int fits = 1;
            while (fits < rest.size() && advance(rest.left(fits + 1)) <= width)
                ++fits;
            const int slash = int(rest.left(fits).lastIndexOf(QLatin1Char('/')));
            if (fits < rest.size() && slash >= 0)
                fits = slash + 1;
            lines.append(rest.left(fits));
            rest = rest.mid(fits);
        }
        return lines;
    };
    const QStringList paths = {"/home/Ada/Downloads/IMG_2041.jpg",
                               "/home/Ada/Pictures/Imports 2019/Camera/copy of IMG_2041.jpg",
                               "/a/VeryLongFolderNameWithoutBreaks/x", "/x/y/z", "/LONGNAMEONLY"};
    for (const QString& path : paths)
        for (int width : {40, 90, 140, 400})
            EXPECT_EQ(DuplicatesText::pathLines(path, 99, width, advance), greedy(path, width))
                << path.toStdString() << " at " << width;

    // A rest that fits is one measurement, a line that ends after a folder a few: this copy's
    // three lines take seven, where searching each line by characters took sixteen.
    measured = 0;
    DuplicatesText::pathLines("/home/Ada/Pictures/Imports 2019/Camera/copy of IMG_2041.jpg", 3, 140,
                              advance);
    EXPECT_LE(measured, 8);
}
