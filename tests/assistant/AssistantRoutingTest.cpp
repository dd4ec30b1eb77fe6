// Which rule answers a question, with what text and which actions: the example questions, the
// feature catalog, the process glossary, and the developer-storage and find phrases.
#include "assistant/RoutingTestSupport.h"
#include "shell/FeatureReplies.h"
#include "shell/QKFeature.h"

using namespace routingtest;

TEST_F(AssistantRoutingTest, ExampleQuestionsGetTheirAnswersAndActions) {
    const QString b = "Clearing app caches is generally safe. Apps recreate them as needed. You "
                      "do not lose documents, photos, mail, or passwords. The first launch after "
                      "clearing may feel a little slower while caches rebuild. Pendrel measures "
                      "and previews before anything goes to the Trash.";
    const QString searching = "Searching your files for that now. Results are in the Find panel "
                              "on the right; click Show on any of them to open its location.";
    const QList<Route> routes = {
        {"is it safe to clear caches", b, {openStorage}},
        {"Will clearing caches delete my Keychain passwords?",
         "No. App caches are temporary files apps rebuild on their own. Saved passwords live in "
         "the system keyring (and in your browser’s password manager), not in ~/.cache. Clearing "
         "app caches does not delete keyring passwords, browser passwords, or synced passwords.",
         {openStorage}},
        {"can i wipe the keychain",
         "Pendrel’s cleaners do not touch the keyring. Passwords, certificates and secure notes "
         "stay where the system put them. The Privacy Centre Vault stores extra secrets you "
         "choose to save there — clearing caches still won’t remove those.",
         {{"Open Privacy Centre", "vault", K::OpenFeature, std::nullopt}}},
        {"will cleaning delete my photos",
         "Pendrel does not silently delete your documents or photos. Cleaners only offer measured "
         "categories (caches, logs, Trash, and similar), preview what would go, and send items to "
         "the Trash so you can undo. Your Documents, Pictures and Desktop are left alone unless "
         "you pick a specific file yourself.",
         {openStorage}},
        // Safety outranks the catalog, whose "clear caches" would answer otherwise.
        {"clear caches: is that safe?", b, {openStorage}},
        {"show me the disk map",
         "Disk Map shows your home folder as a treemap so the largest folders stand out.",
         {{"Open Disk Map", "disk", K::ProposeOpenCleanup, "diskMap"}}},
        {"Find photos with my dog", searching, {}, "find photos with my dog"},
        // A catalog phrase of 8 or more characters outweighs the find phrase.
        {"search history",
         "Search everything Pendrel explained",
         {{"Open Timeline", "pendrel-timeline", K::OpenFeature, std::nullopt}},
         std::nullopt,
         true},
        {"clean up my screenshots",
         "I can open Screenshot Cleaner so you can review captures by age before clearing them.",
         {{"Open Screenshot Cleaner", "disk", K::ProposeOpenCleanup, "screenshots"}}},
        {"help me tidy my downloads",
         "Folder Organizer can preview moving Downloads and Desktop files into type folders. "
         "Nothing moves until you approve the plan.",
         {{"Open Organizer", "disk", K::ProposeOpenCleanup, "organizer"}}},
        // The busiest process is no running application here, so nothing is proposed.
        {"should i quit something",
         "Performance Autopilot can suggest apps that are open but not frontmost.",
         {{"Open Performance", "performance", K::OpenFeature, std::nullopt}}},
        {"what is my headroom",
         "Good headroom: 78 headroom points · 12 GB free · memory 81%. Storage getting tight. "
         "Memory elevated. Thermals comfortable.",
         {{"Open Home", "dashboard", K::OpenFeature, std::nullopt}}},
        {"why is my battery draining",
         "This Mac has no battery, so nothing to worry about there.",
         {}},
        {"what is windowserver doing",
         "WindowServer draws everything on your screen. High memory here usually means lots of "
         "windows or an external display; it is normal and safe.",
         {}},
        {"what's mds_stores",
         "mds_stores is Spotlight's indexer storing its index. Busy after big file changes, then "
         "it settles.",
         {}},
        {"what is mds",
         "mds and mds_stores are Spotlight building its search index. Busy after "
         "big file changes, then it settles.",
         {}},
        {"delete my passwords", kFallback, {}},
        {"remove keychain items",
         "Pendrel’s cleaners do not touch the keyring. Passwords, "
         "certificates and secure notes stay where the system put them. "
         "The Privacy Centre Vault stores extra secrets you choose to "
         "save there — clearing caches still won’t remove those.",
         {{"Open Privacy Centre", "vault", K::OpenFeature, std::nullopt}}},
        {"findings", kFallback, {}},
        {"what is a flux capacitor", kFallback, {}},
    };
    const SystemSnapshot snapshot = busyMachine();
    for (const Route& r : routes) {
        SCOPED_TRACE(r.question);
        searches.clear();
        const TamsoMessage answer = rig.askAndWait(r.question, snapshot);
        EXPECT_EQ(answer.role, TamsoMessage::Role::Tamso);
        if (r.textIsPrefix)
            EXPECT_TRUE(answer.text.startsWith(r.text)) << answer.text.toStdString();
        else
            EXPECT_EQ(answer.text, r.text);
        EXPECT_EQ(specs(answer), r.actions);
        EXPECT_EQ(searches, r.searched ? QStringList{*r.searched} : QStringList{});
    }
}

TEST_F(AssistantRoutingTest, TheCatalogAnswersWithTheLiveReplyAndTheScreenTheUserWasOn) {
    const SystemSnapshot s = busyMachine();
    const TamsoMessage answer = rig.askAndWait(
        "why is my mac hot", s, TamsoScreenContext{"tamso", "Explain My Mac", std::nullopt});
    EXPECT_EQ(answer.text,
              FeatureReplies::performance(s) + " (You were looking at Explain My Mac.)");
    EXPECT_EQ(specs(answer), (QList<ActionSpec>{{"See performance", "performance", K::OpenFeature,
                                                 std::nullopt}}));

    // A section without a live reply answers with its blurb; one without a label gets
    // "Open " + its title.
    const TamsoMessage compare = rig.askAndWait("what changed between these two", s,
                                                TamsoScreenContext{"disk", "Storage", "Disk Map"});
    EXPECT_EQ(compare.text, "Drop two files in and see exactly what differs, explained in plain "
                            "English. (You were looking at Storage — Disk Map.)");
    EXPECT_EQ(specs(compare),
              (QList<ActionSpec>{{"Open Compare", "compare", K::OpenFeature, std::nullopt}}));

    EXPECT_EQ(TamsoAssistant::describeScreen("Storage", QString()), "Storage");

    // A screen whose name is a question already ends its sentence.
    const TamsoMessage growth =
        rig.askAndWait("what changed between these two", s,
                       TamsoScreenContext{"disk", "Storage", QStringLiteral("Where did it go?")});
    EXPECT_TRUE(growth.text.endsWith("(You were looking at Storage — Where did it go?)"))
        << growth.text.toStdString();

    // Answers are read in the chat, so the chat's own section offers no button to open it.
    const TamsoMessage explain = rig.askAndWait("explain my mac", s);
    EXPECT_EQ(explain.text, QKFeature::lookup("tamso")->blurb);
    EXPECT_TRUE(explain.actions.isEmpty());

    // The battery rule leaves a question the catalog knows to the catalog.
    const TamsoMessage battery = rig.askAndWait("why is battery low", s);
    EXPECT_EQ(battery.text, QKFeature::lookup("tamso")->blurb);
    EXPECT_TRUE(battery.actions.isEmpty());
}

// What is busy on this system gets explained: the kernel's threads, the init system, the file
// indexers, the display server and compositor, sound, backups and browsers, by the names the
// process list shows.
TEST_F(AssistantRoutingTest, TheGlossaryExplainsThisSystemsOwnProcesses) {
    const struct {
        const char* question;
        const char* start;
    } rows[] = {
        {"what is kworker/u16:2", "kworker threads are the kernel itself"},
        {"what is kswapd0 doing", "kswapd is the kernel freeing memory"},
        {"what is systemd", "systemd starts everything else on this system."},
        {"what is tracker-miner-fs-3", "tracker-miner-fs is the desktop's file search"},
        {"what's baloo_file_extractor", "baloo_file is Plasma's file search"},
        {"what is Xorg", "Xorg is the display server"},
        {"what is gnome-shell using", "gnome-shell is the desktop itself"},
        {"what is kwin_wayland", "KWin places and draws every window"},
        {"what is pipewire", "PipeWire runs all sound"},
        {"what is deja-dup", "deja-dup is the desktop's backup tool"},
        {"what is firefox", "Firefox's memory grows with open tabs."},
        // A dash continues a name: systemd's helpers and the user instance are not the first
        // process.
        {"what is systemd-journald", "systemd-journald collects the system's logs."},
        {"what is systemd-udevd", "systemd-udevd sets up devices"},
        {"what is systemd-logind", "systemd-logind keeps track of who is signed in"},
        {"what is systemd-resolved", "systemd-resolved looks up web addresses"},
        {"what is systemd-oomd", "The systemd- programs are parts of systemd"},
        {"what is systemd --user", "systemd --user starts and looks after"},
        {"what is dbus-daemon", "dbus-daemon passes messages"},
        {"what is Xvfb", "Xvfb is a display server without a screen"},
        {"what is Xwayland", "Xwayland lets older apps draw"},
        {"what is cc1plus", "cc1plus is the C++ compiler at work"},
        {"what is google-chrome", "Chrome is known for using a lot of memory"},
        {"what is mds_stores", "mds_stores is Spotlight's indexer"},
    };
    const SystemSnapshot snapshot = busyMachine();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.question);
        const TamsoMessage answer = rig.askAndWait(row.question, snapshot);
        EXPECT_TRUE(answer.text.startsWith(QString::fromUtf8(row.start)))
            << answer.text.toStdString();
    }
}

TEST(DeveloperStorageRuleTest, SizeWordsAndToolsDecideWhetherAndWhichToolAnswers) {
    using T = TamsoAssistant::DeveloperTool;
    const QList<std::pair<const char*, std::optional<T>>> table = {
        {"docker", T::Docker},
        {"docker compose help", std::nullopt},
        {"is docker big", T::Docker},
        {"docker models", T::Docker},
        {"how big are my models", T::Ollama},
        {"my models", std::nullopt},
        {"local ai on this machine", std::nullopt},
        {"which ai model", T::Ollama},
        {"lmstudio", T::LMStudio},
        {"lm studio and docker", T::LMStudio},
        {"ollama and docker size", T::Ollama},
        {"how much disk does docker take", T::Docker},
        {"storage of my models", T::Ollama},
        // "big" counts only without a size word; the size word alone needs a tool or models.
        {"how big is my disk", std::nullopt},
    };
    for (const auto& [q, tool] : table) {
        SCOPED_TRACE(q);
        EXPECT_EQ(TamsoAssistant::developerStorageTool(q), tool);
    }
}

TEST(FindRuleTest, AFindPhraseNeedsItsBlankAndYieldsToALongCatalogTrigger) {
    EXPECT_FALSE(TamsoAssistant::hasStrongCatalogTrigger("find photos with my dog"));
    EXPECT_TRUE(TamsoAssistant::hasStrongCatalogTrigger("find duplicate files"));
    // "storage" (7 characters) is not strong; "disk space" (10) is.
    EXPECT_FALSE(TamsoAssistant::hasStrongCatalogTrigger("search storage"));
    EXPECT_TRUE(TamsoAssistant::hasStrongCatalogTrigger("search disk space"));
    EXPECT_EQ(TamsoAssistant::findPhrases().size(), 14);
}
