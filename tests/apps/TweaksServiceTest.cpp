#include "apps/TweaksService.h"
#include "apps/TweaksText.h"
#include "fakes/FakeToolRunner.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QSet>
#include <QSignalSpy>

namespace {

const QString kTool = QStringLiteral("/opt/pendrel/pendrel-defaults");

const Tweak& tweak(const TweaksService& s, const QString& id) {
    for (const Tweak& t : s.tweaks()) {
        if (t.id == id)
            return t;
    }
    ADD_FAILURE() << "no tweak " << id.toStdString();
    return s.tweaks().first();
}

int onCount(const TweaksService& s) {
    const QList<bool> values = s.states().values();
    return int(values.count(true));
}

class TweaksServiceTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeToolRunner> runner = std::make_shared<FakeToolRunner>();
    TweaksService service{runner, kTool};

    // Answers reads from a table of domain/key → printed text; other keys are not set.
    void answerReads(const QHash<QString, QByteArray>& values) {
        runner->setHandler([values](const QString&, const QStringList& args) {
            if (args.value(0) == "read") {
                const auto it = values.constFind(args.value(1) + "/" + args.value(2));
                if (it != values.cend())
                    return FakeToolRunner::succeeded(*it);
                return FakeToolRunner::exited(1, {}, "does not exist\n");
            }
            return FakeToolRunner::succeeded({});
        });
    }
    // Starts a reading and waits until it has been published.
    void loadAndWait() {
        QSignalSpy published(&service, &TweaksService::statesChanged);
        service.load();
        ASSERT_TRUE(testsupport::waitFor([&] { return published.count() > 0; }));
        EXPECT_TRUE(service.isLoaded());
    }
};

} // namespace

TEST(TweakTable, HoldsThirtyNineRowsThatReadBackTheirOwnWrites) {
    const QList<Tweak>& rows = TweakTable::all();
    ASSERT_EQ(rows.size(), 39);
    QSet<QString> ids;
    QMap<QString, int> groupSizes;
    int offValues = 0;
    for (const Tweak& t : rows) {
        SCOPED_TRACE(t.id.toStdString());
        EXPECT_FALSE(ids.contains(t.id));
        ids.insert(t.id);
        ++groupSizes[t.group];
        EXPECT_TRUE(QStringList({"-bool", "-string", "-int", "-float"}).contains(t.onFlag));
        if (t.onFlag == QLatin1String("-bool")) {
            EXPECT_TRUE(t.onValue == "true" || t.onValue == "false");
            EXPECT_EQ(t.onReadValue, t.onValue == "true" ? QString("1") : QString("0"));
            if (t.offValue) {
                EXPECT_NE(*t.offValue, t.onValue);
            }
        } else {
            EXPECT_EQ(t.onReadValue, t.onValue);
        }
        offValues += t.offValue ? 1 : 0;
        if (t.restart) {
            EXPECT_TRUE(QStringList({"SystemUIServer", "Finder", "Dock"}).contains(*t.restart));
        }
        EXPECT_FALSE(t.name.isEmpty());
        EXPECT_FALSE(t.plainDescription.isEmpty());
    }
    EXPECT_EQ(offValues, 6);
    EXPECT_EQ(groupSizes, (QMap<QString, int>{{"Screenshots", 4},
                                              {"File manager", 11},
                                              {"Taskbar", 9},
                                              {"Keyboard & typing", 7},
                                              {"Windows & dialogs", 5},
                                              {"Text editor", 2},
                                              {"Other", 1}}));
    // A group's rows stand together, so headings never repeat.
    for (qsizetype i = 2; i < rows.size(); ++i) {
        if (rows[i].group == rows[i - 1].group)
            continue;
        for (qsizetype j = 0; j < i - 1; ++j) {
            EXPECT_NE(rows[j].group, rows[i].group) << rows[i].id.toStdString();
        }
    }
}

// The rows' words and headings name what this desktop has (the system, the file manager, the
// taskbar, desktops), not the programs and places of the system the table was written for.
TEST(TweakTable, RowTextsNameThisDesktopsCounterparts) {
    QHash<QString, QStringList> texts;
    for (const Tweak& t : TweakTable::all()) {
        for (const QString& text : {t.group, t.name, t.plainDescription}) {
            for (const char* other :
                 {"macOS", "Finder", "Dock", "System Settings", "Cmd-", "Spaces", "Mission Control",
                  "genie", ".DS_Store", "iCloud", "TextEdit"})
                EXPECT_FALSE(text.contains(QLatin1String(other))) << text.toStdString();
        }
        texts.insert(t.id, {t.name, t.plainDescription});
    }
    EXPECT_EQ(texts["finder-quit"],
              QStringList({"Allow quitting the file manager with Ctrl-Q",
                           "Stores 'offer a Quit menu item' for a file manager that reads it."}));
    EXPECT_EQ(texts["dock-instant"].at(0), "Make the taskbar hide and show instantly");
    EXPECT_EQ(texts["kb-repeat"].at(1),
              "Stores a key-repeat interval of 2 (shorter is faster) for apps that read it.");
    EXPECT_EQ(texts["dock-mru"].at(0), "Stop rearranging desktops by recent use");
    EXPECT_EQ(texts["te-quotes"].at(0), "Turn off smart quotes in the text editor");
    // The computer's name is kept as written.
    EXPECT_EQ(texts["win-nocloud"].at(0), "Save new documents to this Mac, not the cloud");
}

TEST_F(TweaksServiceTest, GroupsComeInTableOrder) {
    EXPECT_EQ(service.groups(),
              QStringList({"Screenshots", "File manager", "Taskbar", "Keyboard & typing",
                           "Windows & dialogs", "Text editor", "Other"}));
}

TEST_F(TweaksServiceTest, ReadingComparesThePrintedValueAfterTrimming) {
    answerReads({{"com.apple.screencapture/type", "jpg\n"},
                 {"com.apple.screencapture/disable-shadow", "1\n"},
                 {"com.apple.screencapture/include-date", "1"}, // on would be 0
                 {"com.apple.finder/AppleShowAllFiles", "TRUE"},
                 {"com.apple.dock/expose-animation-duration", "0.10000000000000001"},
                 {"NSGlobalDomain/KeyRepeat", "  2 \n"},
                 {"com.apple.CrashReporter/DialogType", "\xff\xfe"}});
    QSignalSpy loaded(&service, &TweaksService::isLoadedChanged);
    EXPECT_FALSE(service.isLoaded());
    loadAndWait();
    EXPECT_EQ(loaded.count(), 1);
    const QHash<QString, bool> states = service.states();
    EXPECT_EQ(states.size(), 39);
    EXPECT_TRUE(states.value("ss-jpg"));
    EXPECT_TRUE(states.value("ss-noshadow"));
    EXPECT_TRUE(states.value("kb-repeat"));
    EXPECT_FALSE(states.value("ss-nodate"));
    EXPECT_FALSE(states.value("finder-hidden"));       // case matters
    EXPECT_FALSE(states.value("dock-missioncontrol")); // so do the digits
    EXPECT_FALSE(states.value("misc-crash"));          // not UTF-8
    EXPECT_FALSE(states.value("te-plain"));            // not set
    EXPECT_EQ(runner->commands("read").size(), 39);
    EXPECT_TRUE(runner->commands("write").isEmpty());
}

TEST_F(TweaksServiceTest, AMissingToolReadsEverythingAsOffWithoutAnError) {
    runner->setMissing(kTool);
    loadAndWait();
    EXPECT_EQ(service.states().size(), 39);
    EXPECT_EQ(onCount(service), 0);
    EXPECT_FALSE(service.lastError());
}

// A row that names a program (Finder, Dock, SystemUIServer) runs the defaults tool once and
// nothing else: no program of that name is restarted or signalled.
TEST_F(TweaksServiceTest, SwitchingOnlyWritesOrDeletesTheKey) {
    const struct {
        const char* id;
        bool on;
        QStringList arguments;
    } rows[] = {
        {"ss-jpg", false, {"delete", "com.apple.screencapture", "type"}},
        {"ss-jpg", true, {"write", "com.apple.screencapture", "type", "-string", "jpg"}},
        {"finder-hidden",
         false,
         {"write", "com.apple.finder", "AppleShowAllFiles", "-bool", "false"}},
        {"dock-scale", false, {"write", "com.apple.dock", "mineffect", "-string", "genie"}},
        {"kb-repeat", true, {"write", "NSGlobalDomain", "KeyRepeat", "-int", "2"}},
        {"win-resize", true, {"write", "NSGlobalDomain", "NSWindowResizeTime", "-float", "0.001"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        runner->clearCalls();
        QSignalSpy changed(&service, &TweaksService::statesChanged);
        service.apply(tweak(service, row.id), row.on);
        ASSERT_EQ(runner->calls().size(), 1);
        EXPECT_EQ(runner->calls().first().program, kTool);
        EXPECT_EQ(runner->calls().first().arguments, row.arguments);
        EXPECT_EQ(service.isOn(row.id), row.on);
        EXPECT_EQ(changed.count(), 1);
    }
    EXPECT_FALSE(service.lastError());
}

TEST_F(TweaksServiceTest, FailuresToSwitchReachLastErrorAndTheStateFollowsTheRequest) {
    // The tool cannot be started: it is named, and the installation called incomplete, instead
    // of the system's bare description.
    runner->setMissing(kTool);
    service.apply(tweak(service, "finder-hidden"), true);
    EXPECT_EQ(service.lastError(), QString("Pendrel's installation is incomplete: the "
                                           "pendrel-defaults tool is missing, so that change "
                                           "couldn't be saved."));
    EXPECT_TRUE(service.isOn("finder-hidden"));

    // A later success does not clear it; the screen does.
    runner->setMissing(kTool, false);
    service.apply(tweak(service, "kb-repeat"), true);
    EXPECT_TRUE(service.lastError());
    service.setLastError(std::nullopt);

    // A write the tool refuses is reported in its own words, or in ours when it says nothing.
    runner->setHandler([](const QString&, const QStringList&) {
        return FakeToolRunner::exited(2, {}, "Could not write domain com.apple.dock: disk full.\n");
    });
    service.apply(tweak(service, "dock-nobounce"), true);
    EXPECT_EQ(service.lastError(), QString("Could not write domain com.apple.dock: disk full."));
    runner->setHandler(
        [](const QString&, const QStringList&) { return FakeToolRunner::exited(2, {}, {}); });
    service.apply(tweak(service, "dock-nobounce"), true);
    EXPECT_EQ(service.lastError(), TweaksText::changeNotSaved());

    // Deleting a key that is already gone is what switching off wants.
    service.setLastError(std::nullopt);
    runner->setHandler([](const QString&, const QStringList&) {
        return FakeToolRunner::exited(1, {}, "Domain (x) not found.\n");
    });
    service.apply(tweak(service, "dock-nobounce"), false);
    EXPECT_FALSE(service.lastError());
    EXPECT_FALSE(service.isOn("dock-nobounce"));
}

TEST_F(TweaksServiceTest, RestoreAllSwitchesOffWhatIsOnThenReadsAgain) {
    // Before the first reading there is nothing known to be on: nothing is switched.
    answerReads({});
    service.restoreAll();
    ASSERT_TRUE(testsupport::waitFor([&] { return service.isLoaded(); }));
    EXPECT_TRUE(runner->commands("write").isEmpty());
    EXPECT_TRUE(runner->commands("delete").isEmpty());
    EXPECT_EQ(runner->commands("read").size(), 39);

    answerReads({{"com.apple.screencapture/type", "jpg"},
                 {"com.apple.finder/ShowPathbar", "1"},
                 {"com.apple.finder/_FXSortFoldersFirst", "1"},
                 {"NSGlobalDomain/KeyRepeat", "2"}});
    runner->clearCalls();
    loadAndWait();
    ASSERT_EQ(onCount(service), 4);
    runner->clearCalls();
    service.restoreAll();
    EXPECT_EQ(runner->commands("write"),
              (QList<QStringList>{{"write", "com.apple.finder", "ShowPathbar", "-bool", "false"}}));
    EXPECT_EQ(runner->commands("delete"),
              (QList<QStringList>{{"delete", "com.apple.screencapture", "type"},
                                  {"delete", "com.apple.finder", "_FXSortFoldersFirst"},
                                  {"delete", "NSGlobalDomain", "KeyRepeat"}}));
    EXPECT_TRUE(service.isLoaded()); // the list stays while the reread runs
    EXPECT_TRUE(testsupport::waitFor([&] { return runner->commands("read").size() == 39; }));
}

// Through the defaults stand-in's own logic: what a switch writes, a reading finds.
TEST_F(TweaksServiceTest, SwitchesRoundTripThroughTheDefaultsStore) {
    runner->setHandler(FakeToolRunner::defaultsTool(testsupport::freshDir("tweaks-store")));
    loadAndWait();
    EXPECT_EQ(onCount(service), 0);
    for (const Tweak& t : service.tweaks())
        service.apply(t, true);
    EXPECT_FALSE(service.lastError());
    loadAndWait();
    EXPECT_EQ(onCount(service), 39);
    service.restoreAll();
    ASSERT_TRUE(testsupport::waitFor([&] { return onCount(service) == 0; }));
    EXPECT_FALSE(service.lastError());
}
