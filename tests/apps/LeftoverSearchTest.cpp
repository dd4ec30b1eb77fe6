#include "apps/AppsTestSupport.h"

#include <QSignalSpy>

using namespace appstest;
using Confidence = LeftoverItem::Confidence;

namespace {

std::optional<Confidence> gradeFor(const QString& child, const std::optional<QString>& id,
                                   const QString& name) {
    InstalledApp app = appAt(QStringLiteral("/Applications/") + name + QStringLiteral(".app"), id);
    return LeftoverSearch::grade(child, LeftoverSearch::keysFor(app));
}

} // namespace

TEST(LeftoverSearch, GradesChildNamesByIdentifierThenName) {
    const std::optional<QString> id = QStringLiteral("com.example.editor");
    const QString name = QStringLiteral("Editor");
    const struct {
        const char* child;
        std::optional<Confidence> expected;
    } table[] = {
        {"com.example.editor", Confidence::High},
        {"com.example.editor.plist", Confidence::High},
        {"com.example.editor.savedState", Confidence::High},
        {"COM.Example.Editor.helper", Confidence::High},
        // Another application's identifier that merely starts the same way is not this one's.
        {"com.example.editorial", std::nullopt},
        {"com.example.editor-beta", std::nullopt},
        // A team prefix in front of the identifier is not matched.
        {"ABCDE12345.com.example.editor", std::nullopt},
        {"editor", Confidence::Low},
        {"Editor.plist", Confidence::Low},
        {"editor.log", Confidence::Low},
        {"Editor Tools", Confidence::Low},
        {"editors", std::nullopt},
        {"editor-data", std::nullopt},
        {"my editor", std::nullopt},
    };
    for (const auto& row : table)
        EXPECT_EQ(gradeFor(QString::fromUtf8(row.child), id, name), row.expected) << row.child;

    // Without an identifier (or an empty one, or one without a dot) only names match.
    for (const std::optional<QString>& none :
         {std::optional<QString>(), std::optional<QString>(QString()),
          std::optional<QString>(QStringLiteral("editor"))}) {
        EXPECT_EQ(gradeFor("com.example.editor", none, name), std::nullopt);
        EXPECT_EQ(gradeFor("editor", none, name), Confidence::Low);
        EXPECT_EQ(gradeFor("editorial", none, name), std::nullopt);
    }
    // A name shorter than three characters never matches; the identifier still does.
    EXPECT_EQ(gradeFor("qt", id, "Qt"), std::nullopt);
    EXPECT_EQ(gradeFor("com.example.editor", id, "Qt"), Confidence::High);
    // Three characters as a reader counts them, and composed and decomposed forms compare equal.
    EXPECT_EQ(gradeFor(QString::fromUtf8("Cafe\u0301.plist"), std::nullopt,
                       QString::fromUtf8("Caf\u00e9")),
              Confidence::Low);
    EXPECT_EQ(gradeFor(QString::fromUtf8("e\u0301e\u0301"), std::nullopt,
                       QString::fromUtf8("e\u0301e\u0301")),
              std::nullopt);
}

TEST(LeftoverSearch, FindsOnlyImmediateChildrenOfTheLibraryFoldersAndSortsThem) {
    Machine m;
    write(m.support() + "/com.example.editor/state.db", QByteArray(50000, 's'));
    write(m.caches() + "/com.example.editor/big.cache", QByteArray(200000, 'c'));
    write(m.preferences() + "/com.example.editor.plist", QByteArray(100, 'p'));
    write(m.preferences() + "/Editor/settings.ini", QByteArray(3000, 'e'));
    write(m.layout.stateHome() + "/com.example.editor.savedState/window.json", "{}");
    write(m.layout.home() + "/Library/Logs/Editor.log", QByteArray(20000, 'l'));
    write(m.layout.autostartDir() + "/com.example.editor.desktop", "[Desktop Entry]\n");
    write(m.preferences() + "/ByHost/com.example.editor.1234.plist", "nested");
    write(m.preferences() + "/.com.example.editor", "hidden");
    write(m.support() + "/com.example.editorial/other.db", "someone else's");
    write(m.layout.home() + "/.var/app/com.example.editor/data", QByteArray(9000, 'v'));

    const InstalledApp app = appAt(m.system + "/Editor.app", QStringLiteral("com.example.editor"));
    const QList<LeftoverItem> found = LeftoverSearch::find(
        app, LeftoverSearch::folders(m.layout), AppUninstaller::protectedPathsFor(m.layout), {});

    QStringList paths;
    for (const LeftoverItem& item : found)
        paths << item.path.mid(m.layout.home().size() + 1);
    // High before low; within each, larger first.
    EXPECT_EQ(paths, QStringList({".cache/com.example.editor", ".local/share/com.example.editor",
                                  ".var/app/com.example.editor", ".config/com.example.editor.plist",
                                  ".local/state/com.example.editor.savedState",
                                  ".config/autostart/com.example.editor.desktop",
                                  "Library/Logs/Editor.log", ".config/Editor"}));
    ASSERT_EQ(found.size(), 8);
    EXPECT_EQ(found.at(0).category, "Caches");
    EXPECT_EQ(found.at(0).sizeBytes, allocated(m.caches() + "/com.example.editor/big.cache"));
    EXPECT_TRUE(found.at(0).selected);
    EXPECT_EQ(found.at(5).category, "Launch Agents");
    EXPECT_EQ(found.at(6).category, "Logs");
    EXPECT_EQ(found.at(6).confidence, Confidence::Low);
    EXPECT_FALSE(found.at(6).selected);
    EXPECT_EQ(found.at(7).category, "Preferences");
    EXPECT_NE(found.at(0).id, found.at(1).id);
}

TEST(LeftoverSearch, NeverOffersTheDesktopsOwnFoldersOrTheAppsOwn) {
    Machine m;
    for (const char* dir : {"keyrings", "Trash", "applications", "flatpak", "systemd"})
        QDir().mkpath(m.support() + "/" + dir);
    for (const char* dir : {"autostart", "dconf", "systemd"})
        QDir().mkpath(m.preferences() + "/" + dir);
    QDir().mkpath(m.layout.appSupportDir());
    write(m.layout.trashDir() + "/files/x", "trashed");

    for (const char* name : {"Keyrings", "Trash", "Applications", "Flatpak", "Systemd", "Autostart",
                             "dconf", "Pendrel"}) {
        InstalledApp app = appAt(m.system + "/" + name + ".app",
                                 QStringLiteral("org.") + QString::fromUtf8(name).toLower());
        EXPECT_TRUE(LeftoverSearch::find(app, LeftoverSearch::folders(m.layout),
                                         AppUninstaller::protectedPathsFor(m.layout), {})
                        .isEmpty())
            << name;
    }
}

TEST(LeftoverSearch, OnlyTheLatestSelectionPublishesAndToggleFlipsOneItem) {
    Machine m;
    write(m.support() + "/com.a.first/data", QByteArray(1000, 'a'));
    write(m.support() + "/com.b.second/data", QByteArray(1000, 'b'));
    write(m.preferences() + "/Second.conf", QByteArray(1000, 'b'));
    auto service = m.service();
    QSignalSpy published(service.get(), &AppUninstaller::leftoversChanged);

    service->select(appAt(m.system + "/First.app", QStringLiteral("com.a.first")));
    const InstalledApp second = appAt(m.system + "/Second.app", QStringLiteral("com.b.second"));
    service->select(second);
    EXPECT_TRUE(service->leftoversLoading());
    EXPECT_TRUE(service->leftovers().isEmpty());
    ASSERT_TRUE(testsupport::waitFor([&] { return !service->leftoversLoading(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(service->selectedApp(), second);
    ASSERT_EQ(service->leftovers().size(), 2);
    for (const LeftoverItem& item : service->leftovers())
        EXPECT_TRUE(item.path.contains("second") || item.path.contains("Second"));

    const LeftoverItem low = service->leftovers().at(1);
    EXPECT_EQ(service->selectedLeftoverBytes(), service->leftovers().at(0).sizeBytes);
    service->toggleLeftover(low.id);
    EXPECT_TRUE(service->leftovers().at(1).selected);
    EXPECT_EQ(service->selectedLeftoverBytes(),
              service->leftovers().at(0).sizeBytes + low.sizeBytes);
    const QList<LeftoverItem> before = service->leftovers();
    service->toggleLeftover(QUuid::createUuid());
    EXPECT_EQ(service->leftovers(), before);
}
