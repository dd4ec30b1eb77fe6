// What the memory learns from a home folder, and how a refresh reaches it.
#include "assistant/TamsoMemory.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QThreadPool>

namespace {

QStringList labels(const QList<TamsoMemory::Observation>& list) {
    return testsupport::strings(list, &TamsoMemory::Observation::label);
}

// A home whose listed places exist (folders, mapped to where they live here).
HomeLayout homeWith(const QString& name, const QStringList& places) {
    const HomeLayout home = HomeLayout::forHome(testsupport::freshDir(name));
    for (const QString& place : places)
        QDir().mkpath(home.map(place));
    return home;
}

} // namespace

TEST(TamsoMemory, AnEmptyHomeGivesOnlyTheAbsenceOfXcode) {
    const auto found = TamsoMemory::observe(homeWith("memory-none", {}));
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found.first(), TamsoMemory::noXcode());
}

TEST(TamsoMemory, EveryToolFoundSortsByLabelCapitalsFirst) {
    QStringList all;
    for (const auto& tool : TamsoMemory::knownTools())
        all.append(QString::fromUtf8(tool.path));
    const HomeLayout home = homeWith("memory-all", all);
    EXPECT_TRUE(QDir(home.home() + "/.lmstudio").exists()) << "LM Studio lives at its Linux place";
    EXPECT_EQ(labels(TamsoMemory::observe(home)),
              (QStringList{"You use Cursor", "You use Docker", "You use Gradle", "You use Homebrew",
                           "You use LM Studio", "You use Ollama", "You use Rust", "You use Xcode",
                           "You use npm"}));
    EXPECT_EQ(TamsoMemory::observe(home).first().id, ".cursor");
}

TEST(TamsoMemory, PresenceIsAnyItemAndLinksAreFollowed) {
    const HomeLayout home = homeWith("memory-items", {".ollama"});
    QFile docker(home.home() + "/.docker");
    ASSERT_TRUE(docker.open(QIODevice::WriteOnly)); // a file counts as much as a folder
    docker.close();
    QFile::link(home.home() + "/nowhere", home.home() + "/.cargo"); // a dangling link does not
    EXPECT_EQ(labels(TamsoMemory::observe(home)),
              (QStringList{"Xcode isn't used here", "You use Docker", "You use Ollama"}));
}

TEST(TamsoMemory, ARefreshPublishesOnTheMainThreadAndSkipsAMemoryThatIsGone) {
    const HomeLayout home = homeWith("memory-refresh", {".npm"});
    TamsoMemory memory(home);
    QStringList seen;
    QObject::connect(&memory, &TamsoMemory::observationsChanged, [&] {
        EXPECT_EQ(QThread::currentThread(), qApp->thread());
        seen = labels(memory.observations());
    });
    TamsoMemory::refresh(memory.home(), &memory);
    EXPECT_TRUE(memory.observations().isEmpty()) << "returns at once";
    ASSERT_TRUE(testsupport::waitFor([&] { return !seen.isEmpty(); }));
    EXPECT_EQ(seen, (QStringList{"Xcode isn't used here", "You use npm"}));

    auto* doomed = new TamsoMemory(home);
    TamsoMemory::refresh(home, doomed);
    delete doomed;
    // The result of the refresh arrives and is dropped.
    TamsoMemory::refresh(home, &memory);
    EXPECT_TRUE(testsupport::waitFor(
        [] { return QThreadPool::globalInstance()->activeThreadCount() == 0; }));
    QCoreApplication::processEvents();
}
