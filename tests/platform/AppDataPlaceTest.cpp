#include "platform/AppDataPlace.h"
#include "platform/HomeLayout.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>

namespace {

using Kind = AppDataPlace::Kind;

struct Machine {
    QString base = testsupport::freshDir("places");
    QString home = base + "/home";
    QString runtime = base + "/run-user";
    HomeLayout defaults = HomeLayout::forHome(home);

    Machine() {
        for (const char* folder : {".ssh/old", ".gnupg", ".pki", ".password-store",
                                   ".local/share/keyrings", ".cache", "Documents"})
            QDir().mkpath(home + "/" + folder);
        QDir().mkpath(runtime + "/bus-folder");
        testsupport::write(home + "/.ssh/id_ed25519", "key");
    }
    QList<AppDataPlace::Kept> kept() const {
        return AppDataPlace::keptFor(home, defaults.userFolders() + defaults.projectFolders(),
                                     defaults.dataHome(), runtime);
    }
    HomeLayout withCache(const QString& value) const {
        QProcessEnvironment env;
        env.insert("HOME", home);
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("XDG_CACHE_HOME", value);
        return HomeLayout::fromEnvironment(env);
    }
};

} // namespace

// Every place of live system files or keys is refused, as written, inside, and through a link;
// HomeLayout then ignores a base folder set to it, as it does for the places it refused before.
TEST(AppDataPlace, RefusesTheLiveSystemPlacesAndTheSecretFoldersAndAnyLinkToThem) {
    const Machine m;
    const struct {
        QString place;
        Kind kind;
        bool same;
    } refused[] = {
        {m.runtime, Kind::System, true},
        {m.runtime + "/bus-folder", Kind::System, false},
        {"/run", Kind::System, true},
        {"/run/user", Kind::System, false},
        {"/var/run", Kind::System, true},
        {"/dev", Kind::System, true},
        {"/dev/shm", Kind::System, false},
        {"/proc", Kind::System, true},
        {"/proc/self", Kind::System, false},
        {"/sys", Kind::System, true},
        {m.home + "/.ssh", Kind::Secrets, true},
        {m.home + "/.ssh/old", Kind::Secrets, false},
        {m.home + "/.gnupg", Kind::Secrets, true},
        {m.home + "/.pki", Kind::Secrets, true},
        {m.home + "/.password-store", Kind::Secrets, true},
        {m.home + "/.local/share/keyrings", Kind::Secrets, true},
        // Refused before, still refused.
        {"/", Kind::Home, false},
        {m.home, Kind::Home, true},
        {m.base, Kind::Home, false},
        {m.home + "/Documents", Kind::UserFolder, true},
        {"/tmp", Kind::Shared, true},
        {"/var/tmp", Kind::Shared, true},
    };
    int links = 0;
    for (const auto& r : refused) {
        const QString link = m.base + QStringLiteral("/link-%1").arg(++links);
        ASSERT_TRUE(QFile::link(r.place, link));
        for (const QString& spelling : {r.place, r.place + "/", link}) {
            SCOPED_TRACE(spelling.toStdString());
            const std::optional<AppDataPlace::Refusal> why =
                AppDataPlace::refusal(spelling, m.kept());
            ASSERT_TRUE(why.has_value());
            // The test's home lies in the temporary folder, which is then refused as holding it.
            if (r.kind != Kind::Shared) {
                EXPECT_EQ(why->kind, r.kind);
                EXPECT_EQ(why->same, r.same);
            }
            const HomeLayout l = m.withCache(spelling);
            EXPECT_EQ(l.cacheHome(), m.defaults.cacheHome());
            ASSERT_EQ(l.ignoredVariables().size(), 1);
            EXPECT_EQ(l.ignoredVariables().first().value, spelling);
        }
    }
}

// What holds a secret folder without being the home (the data folder holds the keyrings) is a
// base folder like any other, and so are names that only begin like a refused one.
TEST(AppDataPlace, AcceptsFoldersOfAppDataBesideTheRefusedOnes) {
    const Machine m;
    for (const QString& place : {m.home + "/.cache", m.home + "/.local/share", m.base + "/cache",
                                 m.home + "/.sshfs-cache", m.base + "/run"}) {
        SCOPED_TRACE(place.toStdString());
        EXPECT_FALSE(AppDataPlace::refusal(place, m.kept()).has_value());
        const HomeLayout l = m.withCache(place);
        EXPECT_EQ(l.cacheHome(), QDir::cleanPath(place));
        EXPECT_TRUE(l.ignoredVariables().isEmpty());
    }
    // A row that searches the user folders on purpose may; never the secret folders.
    EXPECT_FALSE(AppDataPlace::refusal(m.home + "/Documents", m.kept(), true).has_value());
    EXPECT_TRUE(AppDataPlace::refusal(m.home + "/.ssh", m.kept(), true).has_value());
}
