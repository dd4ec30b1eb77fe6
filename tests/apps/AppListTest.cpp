#include "apps/AppInventory.h"
#include "apps/AppsTestSupport.h"
#include "support/TestSupport.h"

#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>

using namespace appstest;

namespace {

QStringList names(const QList<InstalledApp>& apps) {
    return testsupport::strings(apps, &InstalledApp::name);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(AppList, ListsBundlesAndAppImagesOfTheThreeFoldersByName) {
    Machine m;
    m.bundle(m.system, QStringLiteral("Zed"), QStringLiteral("dev.zed.Zed"));
    m.bundle(m.system, QStringLiteral("alpha"), QString());
    m.bundle(m.system + QStringLiteral("/Utilities"), QStringLiteral("Beta"),
             QStringLiteral("org.beta"));
    m.bundle(m.user, QStringLiteral("Beta"), QStringLiteral("org.beta"));
    write(m.user + QStringLiteral("/Tool-1.2-x86_64.AppImage"), QByteArray(5000, 'e'));
    write(m.system + QStringLiteral("/Plain.app"), QByteArray(7000, 'p')); // a file, still listed
    QDir().mkpath(m.system + QStringLiteral("/Upper.APP"));                // wrong case
    QDir().mkpath(m.system + QStringLiteral("/Folder.AppImage"));          // not a file
    m.bundle(m.system, QStringLiteral(".Hidden"), QStringLiteral("x.hidden"));
    m.bundle(m.system + QStringLiteral("/Nested"), QStringLiteral("Deep"),
             QStringLiteral("x.deep"));

    const QList<InstalledApp> apps = AppInventory::scan(m.tools().applicationFolders);
    EXPECT_EQ(names(apps),
              QStringList({"alpha", "Beta", "Beta", "Plain", "Tool-1.2-x86_64", "Zed"}));
    // Equal names keep folder order: Utilities before the user's folder.
    EXPECT_EQ(apps.at(1).id, m.system + "/Utilities/Beta.app");
    EXPECT_EQ(apps.at(2).id, m.user + "/Beta.app");
    EXPECT_EQ(apps.at(5).bundleID, "dev.zed.Zed");
    EXPECT_EQ(apps.at(0).bundleID, std::nullopt);
    EXPECT_EQ(apps.at(4).bundleID, std::nullopt);
    EXPECT_EQ(apps.at(3).appSizeBytes, allocated(m.system + "/Plain.app"));
    EXPECT_EQ(apps.at(5).url, QUrl::fromLocalFile(m.system + "/Zed.app"));
}

TEST(AppList, BundleSizeEqualsFindWithoutNestedPackages) {
    Machine m;
    const QString app = m.bundle(m.system, QStringLiteral("Big"), QStringLiteral("com.big"), 70000);
    write(app + "/Contents/Resources/.hidden-cache", QByteArray(9000, 'h'));
    write(app + "/Contents/Resources/en.lproj/Strings.txt", QByteArray(300, 's'));
    write(app + "/Contents/Frameworks/Lib.framework/Lib", QByteArray(40000, 'l'));
    // Packages nested in the bundle are left out of its size.
    write(app + "/Contents/Helpers/Helper.app/Contents/MacOS/helper", QByteArray(80000, 'x'));
    write(app + "/Contents/PlugIns/Share.appex/Contents/MacOS/share", QByteArray(60000, 'x'));
    QFile::link(QStringLiteral("/etc/hostname"), app + "/Contents/Resources/link");
    write(m.base + "/outside/huge.bin", QByteArray(200000, 'o'));
    QFile::link(m.base + "/outside", app + "/Contents/Resources/outside");

    const qint64 expected = allocated(app + "/Contents/MacOS/Big") +
                            allocated(app + "/Contents/Info.plist") +
                            allocated(app + "/Contents/Resources/.hidden-cache") +
                            allocated(app + "/Contents/Resources/en.lproj/Strings.txt") +
                            allocated(app + "/Contents/Frameworks/Lib.framework/Lib");
    EXPECT_EQ(AppInventory::bundleSize(app), expected);

    // The same sum as find over regular files, pruning nested packages.
    const QString find = QStandardPaths::findExecutable(QStringLiteral("find"));
    if (!find.isEmpty()) {
        QProcess p;
        p.start(find, {app,     "-mindepth", "1",     "(",     "-type",   "d",    "(",
                       "-name", "*.app",     "-o",    "-name", "*.appex", ")",    "-prune",
                       ")",     "-o",        "-type", "f",     "-printf", "%b\\n"});
        ASSERT_TRUE(p.waitForFinished(10000));
        qint64 sum = 0;
        for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
            sum += line.trimmed().toLongLong() * 512;
        EXPECT_EQ(AppInventory::bundleSize(app), sum);
    }

    // A file measures its own allocation, a link or a missing path nothing.
    EXPECT_EQ(AppInventory::bundleSize(app + "/Contents/MacOS/Big"),
              allocated(app + "/Contents/MacOS/Big"));
    EXPECT_EQ(AppInventory::bundleSize(app + "/Contents/Resources/outside"), 0);
    EXPECT_EQ(AppInventory::bundleSize(m.base + "/nothing-here"), 0);
}

TEST(AppsCache, RecordsEncodeAsTheFileExpectsAndRejectBrokenOnes) {
    InstalledApp app = appAt(QStringLiteral("/Applications/Two Words.app"), std::nullopt, 4096);
    const QJsonObject o = app.toJson();
    EXPECT_FALSE(o.contains("bundleID"));
    EXPECT_EQ(o.value("url").toString(), "file:///Applications/Two%20Words.app");
    EXPECT_EQ(QJsonDocument(o).toJson(QJsonDocument::Compact),
              "{\"appSizeBytes\":4096,\"id\":\"/Applications/Two Words.app\",\"name\":\"Two "
              "Words\",\"url\":\"file:///Applications/Two%20Words.app\"}");
    EXPECT_EQ(InstalledApp::fromJson(o), app);

    const std::optional<QList<InstalledApp>> fixture =
        InstalledApp::decodeList(readAll(testsupport::fixture("apps/cache/apps.json")));
    ASSERT_TRUE(fixture);
    ASSERT_EQ(fixture->size(), 3);
    EXPECT_EQ(fixture->at(0).bundleID, "com.example.editor");
    EXPECT_EQ(fixture->at(1).bundleID, std::nullopt);
    EXPECT_EQ(fixture->at(2).bundleID, std::nullopt); // null reads as absent

    const QByteArray good = R"({"id":"/A.app","name":"A","url":"file:///A.app","appSizeBytes":1)";
    EXPECT_TRUE(InstalledApp::decodeList("[" + good + "}]"));
    EXPECT_TRUE(InstalledApp::decodeList("[" + good + R"(,"extra":[1]}])"));
    for (const QByteArray& tail :
         {QByteArray(R"(,"bundleID":7})"), QByteArray(R"(,"bundleID":{}})")})
        EXPECT_FALSE(InstalledApp::decodeList("[" + good + tail + "]"));
    const QList<QByteArray> bad = {
        R"([{"id":"/A.app","name":"A","url":"file:///A.app"}])", // no size
        R"([{"id":"/A.app","name":"A","url":"file:///A.app","appSizeBytes":1.5}])",
        R"([{"id":"/A.app","name":"A","url":"file:///A.app","appSizeBytes":-1}])",
        R"([{"id":"/A.app","name":"A","url":"file:///A.app","appSizeBytes":"1"}])",
        R"([{"id":"/A.app","name":"A","url":"https://x/A.app","appSizeBytes":1}])",
        R"([{"id":"/A.app","url":"file:///A.app","appSizeBytes":1}])",
        R"([{"id":"/A.app","name":"A","url":"file:///A.app","appSizeBytes":1},7])",
        R"({"id":"/A.app"})",
    };
    for (const QByteArray& bytes : bad)
        EXPECT_FALSE(InstalledApp::decodeList(bytes)) << bytes.toStdString();
}

TEST(AppsCache, FirstLoadScansThenWritesTheCacheWhichLaterLoadsShowAtOnce) {
    Machine m;
    m.bundle(m.system, QStringLiteral("Editor"), QStringLiteral("com.example.editor"));
    m.bundle(m.user, QStringLiteral("Notes"), QString());
    auto service = m.service();
    QSignalSpy states(service.get(), &AppUninstaller::stateChanged);

    EXPECT_EQ(service->state().phase, ScanPhase::Idle);
    service->loadApps();
    EXPECT_TRUE(service->state().isRunning());
    EXPECT_EQ(states.count(), 1);
    ASSERT_TRUE(testsupport::waitFor([&] { return service->state().phase == ScanPhase::Done; }));
    EXPECT_EQ(states.count(), 2) << "one change a step";
    EXPECT_EQ(names(service->apps()), QStringList({"Editor", "Notes"}));
    const QString file = m.layout.appSupportDir() + "/apps.json";
    const auto written = InstalledApp::decodeList(readAll(file));
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, service->apps());
    EXPECT_FALSE(readAll(file).contains("\n")); // compact

    // A second service shows the cached list before its rescan, minus deleted bundles.
    QDir(m.user + "/Notes.app").removeRecursively();
    auto later = m.service();
    later->loadApps();
    EXPECT_TRUE(later->state().isRunning());
    EXPECT_EQ(names(later->apps()), QStringList({"Editor"}));
    testsupport::waitFor([&] { return readAll(file).count("\"id\"") == 1; });
}

TEST(AppsCache, AnUnusableCacheIsSetAsideAndAShownListStays) {
    Machine m;
    m.bundle(m.system, QStringLiteral("Editor"), QStringLiteral("com.example.editor"));
    auto service = m.service();
    service->loadApps();
    ASSERT_TRUE(testsupport::waitFor([&] { return !service->apps().isEmpty(); }));

    const QString file = m.layout.appSupportDir() + "/apps.json";
    write(file, R"([{"id":"/A.app","name":"A","url":"file:///A.app"}])");
    QSignalSpy apps(service.get(), &AppUninstaller::appsChanged);
    service->loadApps();
    // Nothing usable: the list stays shown while the rescan runs, until it replaces it.
    EXPECT_TRUE(service->state().isRunning());
    EXPECT_EQ(names(service->apps()), QStringList({"Editor"}));
    EXPECT_EQ(apps.count(), 0);
    ASSERT_TRUE(testsupport::waitFor([&] { return apps.count() == 1; }));
    // The broken file was kept aside, and a fresh one written.
    QStringList aside = QDir(m.layout.appSupportDir()).entryList({"apps.json.unreadable-*"});
    EXPECT_EQ(aside.size(), 1);
    EXPECT_TRUE(InstalledApp::decodeList(readAll(file)));

    // A cache whose every bundle is gone is no cache either.
    QDir(m.system + "/Editor.app").removeRecursively();
    auto fresh = m.service();
    fresh->loadApps();
    EXPECT_TRUE(fresh->state().isRunning());
    EXPECT_TRUE(fresh->apps().isEmpty());
}
