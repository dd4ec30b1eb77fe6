// A base folder pointed at what is not app data, through the real layout, guard, measurer,
// cleaner and freedesktop Trash of a home of the test's own: nothing there is offered or moved.
#include "cleaning/CleanupScanner.h"
#include "platform/HomeLayout.h"
#include "support/TestSupport.h"

#include <cstring>
#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcessEnvironment>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A home whose runtime folder holds what a desktop session keeps there (a live socket among
// them), and whose ~/.ssh holds keys.
struct Session {
    QString base = testsupport::freshDir("session");
    QString home = base + "/home";
    QString runtime = base + "/run-user-1000";
    QStringList planted;
    int bus = -1;

    Session() {
        for (const char* entry :
             {"wayland-0.lock", "pulse/native", "gnupg/S.gpg-agent", "keyring/control",
              "at-spi/bus_0", "dconf/user", "pendrel/pendrel.lock"})
            planted << testsupport::write(runtime + "/" + entry, QByteArray(4096, 's'));
        planted << testsupport::write(home + "/.ssh/id_ed25519", QByteArray(400, 'k'));
        planted << testsupport::write(home + "/.ssh/known_hosts", QByteArray(900, 'h'));
        bus = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(runtime + "/bus");
        if (path.size() < qsizetype(sizeof address.sun_path)) {
            std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
            if (::bind(bus, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
                planted << runtime + "/bus";
        }
        QDir().mkpath(home + "/.cache");
        QFile::link(runtime, base + "/link-to-runtime");
        QFile::link(home + "/.ssh", base + "/link-to-ssh");
    }
    ~Session() { ::close(bus); }

    HomeLayout layoutWith(const char* variable, const QString& value) const {
        QProcessEnvironment env;
        env.insert("HOME", home);
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert(variable, value);
        return HomeLayout::fromEnvironment(env);
    }
    QStringList missing() const {
        QStringList out;
        for (const QString& path : planted) {
            if (!QFileInfo::exists(path))
                out << path;
        }
        return out;
    }
};

QStringList trashed(const HomeLayout& layout) {
    QStringList out;
    QDirIterator it(layout.trashDir(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    return out;
}

// Measures every row, as the screen does, then cleans them all; returns what was cleaned.
CleanResult scanAndCleanAll(DiskCleanupScanner& scanner) {
    scanner.scan();
    EXPECT_TRUE(testsupport::waitFor([&] { return !scanner.isScanning(); }, 30000));
    QSet<QString> ids;
    for (const CleanCategory& row : scanner.categories())
        ids.insert(row.id);
    auto result = std::make_shared<std::optional<CleanResult>>();
    scanner.clean(ids, [result](const CleanResult& r) { *result = r; });
    EXPECT_TRUE(testsupport::waitFor([&] { return result->has_value(); }, 30000));
    return result->value_or(CleanResult());
}

// What the rows offered that lies in one of the planted places.
QStringList offered(const DiskCleanupScanner& scanner, const Session& s) {
    QStringList out;
    for (const CleanCategory& row : scanner.categories()) {
        for (const QString& file : row.eligibleFiles + row.locations) {
            const QString place = QFileInfo(file).canonicalFilePath();
            if (row.sizeBytes > 0 && (place.startsWith(s.runtime) || place.contains("/.ssh")))
                out << row.id + ": " + file;
        }
    }
    return out;
}

} // namespace

TEST(AppDataPlaceE2E, ABaseFolderAtTheRuntimeFolderOrTheKeysIsIgnoredAndNothingThereMoves) {
    const Session s;
    ASSERT_TRUE(s.planted.contains(s.runtime + "/bus")) << "a live socket stands in the folder";
    const struct {
        const char* variable;
        QString value;
    } cases[] = {
        {"XDG_CACHE_HOME", s.runtime},
        {"XDG_CACHE_HOME", s.runtime + "/"},
        {"XDG_CACHE_HOME", s.base + "/link-to-runtime"},
        {"XDG_CACHE_HOME", s.home + "/.ssh"},
        {"XDG_CACHE_HOME", s.base + "/link-to-ssh"},
        {"XDG_STATE_HOME", s.runtime},
        {"XDG_STATE_HOME", s.home + "/.ssh"},
        {"XDG_DATA_HOME", s.runtime},
        {"XDG_DATA_HOME", s.base + "/link-to-ssh"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.variable) + "=" + c.value.toStdString());
        const HomeLayout layout = s.layoutWith(c.variable, c.value);
        ASSERT_EQ(layout.ignoredVariables().size(), 1);
        EXPECT_EQ(layout.ignoredVariables().first().value, c.value);
        DiskCleanupScanner scanner(layout, CleanupScanner::Deps::system(layout));
        const CleanResult result = scanAndCleanAll(scanner);
        EXPECT_EQ(offered(scanner, s), QStringList());
        EXPECT_EQ(result.freedBytes, 0);
        EXPECT_EQ(s.missing(), QStringList());
        EXPECT_EQ(trashed(layout), QStringList());
    }
}

// A layout that did take such a place (set by code, or a link changed since it was read) still
// gets nothing from the guard of the measurer and the cleaner: the rows are refused with the
// reason, and a clean moves nothing.
TEST(AppDataPlaceE2E, ARowAtTheRuntimeFolderOrTheKeysIsRefusedWhenMeasuredAndWhenCleaned) {
    const Session s;
    for (const QString& place : {s.runtime, s.base + "/link-to-runtime", s.home + "/.ssh"}) {
        SCOPED_TRACE(place.toStdString());
        HomeLayout layout = s.layoutWith("XDG_RUNTIME_DIR", s.runtime);
        layout.setCacheHome(place);
        layout.setStateHome(place);
        DiskCleanupScanner scanner(layout, CleanupScanner::Deps::system(layout));
        for (const CleanCategory& row : scanner.categories()) {
            if (row.id != "caches" && row.id != "logs")
                continue;
            const Measurement m = scanner.measure(row);
            EXPECT_TRUE(m.refusal.has_value()) << row.id.toStdString();
            EXPECT_EQ(m.sizeBytes, 0);
        }
        const CleanResult result = scanAndCleanAll(scanner);
        EXPECT_EQ(offered(scanner, s), QStringList());
        EXPECT_EQ(result.freedBytes, 0);
        EXPECT_EQ(s.missing(), QStringList());
        EXPECT_EQ(trashed(layout), QStringList());
    }
}
