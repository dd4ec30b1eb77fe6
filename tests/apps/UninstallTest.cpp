#include "apps/AppsTestSupport.h"
#include "fakes/FakeRunningApplications.h"
#include "fakes/FakeTrash.h"

#include <mutex>
#include <QProcess>
#include <QStandardPaths>
#include <unistd.h>

using namespace appstest;

namespace {

constexpr const char* kEditorID = "com.example.editor";

// Runs the uninstall and waits for its outcome.
std::optional<UninstallOutcome> uninstallAndWait(AppUninstaller& service) {
    std::optional<UninstallOutcome> outcome;
    service.uninstall([&](const UninstallOutcome& o) { outcome = o; });
    testsupport::waitFor([&] { return outcome.has_value(); }, 20000);
    return outcome;
}

// An installed Editor with three leftovers, selected, its search finished.
struct EditorSetup {
    Machine m;
    std::unique_ptr<AppUninstaller> service;
    QString bundle;
    InstalledApp app;

    EditorSetup() {
        bundle = m.bundle(m.system, QStringLiteral("Editor"), QString::fromLatin1(kEditorID));
        write(m.support() + "/com.example.editor/state.db", QByteArray(30000, 's'));
        write(m.caches() + "/com.example.editor/blob", QByteArray(90000, 'c'));
        write(m.preferences() + "/com.example.editor.plist", QByteArray(100, 'p'));
        service = m.service();
        app = appAt(bundle, QString::fromLatin1(kEditorID), 1'000'000);
        EXPECT_TRUE(selectAndWait(*service, app));
        EXPECT_EQ(service->leftovers().size(), 3);
    }
    bool trashed(const QString& name) const {
        return QFileInfo::exists(m.trashFiles() + "/" + name) &&
               QFileInfo::exists(m.layout.trashDir() + "/info/" + name + ".trashinfo");
    }
};

} // namespace

TEST(Uninstall, WithNothingSelectedTouchesNothing) {
    Machine m;
    auto service = m.service();
    const auto outcome = uninstallAndWait(*service);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(*outcome, (UninstallOutcome{0, {"No app selected."}, false}));
    EXPECT_EQ(m.processes->listCalls, 0);
    EXPECT_FALSE(QDir(m.trashFiles()).exists());
}

TEST(Uninstall, MovesTheBundleAndTickedLeftoversToTheSandboxTrash) {
    EditorSetup s;
    // Untick the smallest: it stays where it is.
    const LeftoverItem kept = s.service->leftovers().last();
    s.service->toggleLeftover(kept.id);
    qint64 expected = s.app.appSizeBytes;
    for (const LeftoverItem& item : s.service->leftovers())
        expected += item.selected ? item.sizeBytes : 0;

    const auto outcome = uninstallAndWait(*s.service);
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->appRemoved);
    EXPECT_TRUE(outcome->failures.isEmpty());
    EXPECT_EQ(outcome->freedBytes, expected);
    EXPECT_TRUE(s.trashed("Editor.app"));
    EXPECT_TRUE(s.trashed("com.example.editor"));
    EXPECT_FALSE(QFileInfo::exists(s.bundle));
    EXPECT_TRUE(QFileInfo::exists(kept.path));
    // Not running: no wait at all, and gio was never needed.
    EXPECT_TRUE(s.m.waits.isEmpty());
    EXPECT_TRUE(s.m.runner->calls().isEmpty());
    // The selection is cleared and the list reloaded.
    EXPECT_EQ(s.service->selectedApp(), std::nullopt);
    EXPECT_TRUE(s.service->leftovers().isEmpty());
    EXPECT_NE(s.service->state().phase, ScanPhase::Idle);
}

TEST(Uninstall, TakesTheLeftoversTickedWhenItStarted) {
    EditorSetup s;
    s.m.processes->processes = {FakeApplicationProcesses::process(40, kEditorID)};
    s.m.processes->leaveAfterReads(40, 3);
    std::optional<UninstallOutcome> outcome;
    s.service->uninstall([&](const UninstallOutcome& o) { outcome = o; });
    // While the application is asked to quit, the user picks another application whose
    // high-confidence finds are preselected.
    write(s.m.support() + "/org.other.app/data", "other");
    ASSERT_TRUE(selectAndWait(*s.service, appAt(s.m.system + "/Other.app", "org.other.app")));
    ASSERT_TRUE(testsupport::waitFor([&] { return outcome.has_value(); }));
    EXPECT_TRUE(outcome->appRemoved);
    EXPECT_TRUE(QFileInfo::exists(s.m.support() + "/org.other.app"));
    EXPECT_TRUE(s.trashed("com.example.editor.plist"));
}

TEST(Uninstall, AnAppThatQuitsByTheThirdCountIsNeverForced) {
    EditorSetup s;
    s.m.processes->processes = {FakeApplicationProcesses::process(40, kEditorID),
                                FakeApplicationProcesses::process(41, "org.unrelated")};
    // Read 1 asks it to quit; reads 2 and 3 still see it; read 4 no longer does.
    s.m.processes->leaveAfterReads(40, 3);
    ASSERT_TRUE(uninstallAndWait(*s.service));
    EXPECT_EQ(s.m.processes->quitRequests, QList<qint64>({40}));
    EXPECT_EQ(s.m.waits, QList<int>({200, 200}));
    EXPECT_TRUE(s.m.processes->forceQuits.isEmpty());
}

TEST(Uninstall, AnAppThatIgnoresTheRequestIsForcedAfterFiveSeconds) {
    EditorSetup s;
    s.m.processes->processes = {FakeApplicationProcesses::process(40, kEditorID),
                                FakeApplicationProcesses::process(50, kEditorID),
                                // A helper the application started: forced, never asked.
                                FakeApplicationProcesses::process(51, kEditorID, 50)};
    const auto outcome = uninstallAndWait(*s.service);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(s.m.processes->quitRequests, QList<qint64>({40, 50}));
    QList<int> expected(AppUninstaller::kQuitPolls, AppUninstaller::kQuitPollMs);
    expected.append(AppUninstaller::kForceSettleMs);
    EXPECT_EQ(s.m.waits, expected);
    EXPECT_EQ(s.m.processes->forceQuits, QList<qint64>({40, 50, 51}));
    EXPECT_TRUE(outcome->appRemoved);
}

TEST(Uninstall, AnAppWithoutIdentifierIsNeverAskedToQuit) {
    Machine m;
    const QString bundle = m.bundle(m.system, QStringLiteral("Plain"), QString());
    m.processes->processes = {FakeApplicationProcesses::process(40, QString())};
    auto service = m.service();
    ASSERT_TRUE(selectAndWait(*service, appAt(bundle, std::nullopt, 5)));
    const auto outcome = uninstallAndWait(*service);
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->appRemoved);
    EXPECT_EQ(m.processes->listCalls, 0);
    EXPECT_TRUE(m.processes->quitRequests.isEmpty());
}

TEST(Uninstall, ABundleBothRoutesRefuseStaysWithEveryLeftover) {
    EditorSetup s;
    auto refusing = std::make_shared<FakeTrash>(s.m.base + "/fake-trash");
    refusing->refuseAll(QStringLiteral("Permission denied"));
    AppUninstaller::Deps tools = s.m.tools();
    tools.trash = refusing;
    AppUninstaller service(tools);
    ASSERT_TRUE(selectAndWait(service, s.app));
    const auto outcome = uninstallAndWait(service);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(*outcome, (UninstallOutcome{0, {"Editor"}, false}));
    // The second route was tried for the bundle alone, with the path as one argument.
    ASSERT_EQ(s.m.runner->calls().size(), 1);
    EXPECT_EQ(s.m.runner->calls().at(0).program, "gio");
    EXPECT_EQ(s.m.runner->calls().at(0).arguments, QStringList({"trash", "--", s.bundle}));
    EXPECT_TRUE(QFileInfo::exists(s.bundle));
    EXPECT_TRUE(QFileInfo::exists(s.m.caches() + "/com.example.editor"));
    EXPECT_EQ(service.selectedApp(), std::nullopt);
}

TEST(Uninstall, LeftoversTheTrashRefusesGoTheSecondRouteOrAreReported) {
    EditorSetup s;
    auto trash = std::make_shared<FakeTrash>(s.m.base + "/fake-trash");
    const QString refused = s.m.caches() + "/com.example.editor";
    const QString viaGio = s.m.preferences() + "/com.example.editor.plist";
    trash->failFor(refused, QStringLiteral("Permission denied"));
    trash->failFor(viaGio, QStringLiteral("Permission denied"));
    s.m.runner->setHandler([viaGio](const QString&, const QStringList& args) {
        return args.last() == viaGio ? FakeToolRunner::succeeded({})
                                     : FakeToolRunner::exited(1, {}, "no");
    });
    AppUninstaller::Deps tools = s.m.tools();
    tools.trash = trash;
    AppUninstaller service(tools);
    ASSERT_TRUE(selectAndWait(service, s.app));
    qint64 expected = s.app.appSizeBytes;
    for (const LeftoverItem& item : service.leftovers())
        expected += item.path == refused ? 0 : item.sizeBytes;
    const auto outcome = uninstallAndWait(service);
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->appRemoved);
    EXPECT_EQ(outcome->failures, QStringList({"com.example.editor"}));
    EXPECT_EQ(outcome->freedBytes, expected);
}

// A real process started from a copy of the shell inside a bundle, waiting on its input with no
// child of its own. Signals go only through a sender that records them and refuses any pid but
// this child's.
struct BundleChild {
    Machine& m;
    QString identifier = QStringLiteral("org.pendrel-test.child%1").arg(::getpid());
    QString bundle;
    QProcess child;
    QList<qint64> signalled;
    std::mutex signalledLock;
    qint64 childPid = 0;
    std::shared_ptr<ProcApplicationProcesses> processes;

    BundleChild(Machine& machine, const QString& script) : m(machine) {
        bundle = m.bundle(m.system, QStringLiteral("Child"), identifier);
        const QString program = bundle + "/Contents/MacOS/child";
        const QString sh = QStandardPaths::findExecutable(QStringLiteral("sh"));
        if (sh.isEmpty() || !QFile::copy(QFileInfo(sh).canonicalFilePath(), program))
            return;
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        child.start(program, {"-c", script});
        if (!child.waitForStarted())
            return;
        ProcApplicationProcesses::Deps options;
        options.user = ::getuid();
        options.self = ::getpid();
        options.windows = std::make_shared<FakeRunningApplications>(); // no windows: SIGTERM
        // Called on the uninstall's worker thread: it touches only what is fixed by now and the
        // locked list, never the QProcess the main thread reaps.
        childPid = child.processId();
        options.send = [this](qint64 pid, quint64 start, int sig) {
            {
                std::lock_guard lock(signalledLock);
                signalled.append(pid);
            }
            if (pid != childPid)
                return false;
            return ProcApplicationProcesses::startTicksOf(QStringLiteral("/proc"), pid) == start &&
                   ::kill(pid_t(pid), sig) == 0;
        };
        processes = std::make_shared<ProcApplicationProcesses>(options);
    }
    ~BundleChild() {
        if (child.state() != QProcess::NotRunning) {
            child.kill();
            child.waitForFinished(2000);
        }
    }
    bool listed() {
        for (const AppProcess& p : processes->list()) {
            if (p.pid == child.processId() && p.bundleIdentifier == identifier)
                return true;
        }
        return false;
    }
    std::optional<UninstallOutcome> uninstall() {
        AppUninstaller::Deps tools = m.tools();
        tools.processes = processes;
        // Real waits, a tenth as long.
        tools.wait = [this](int ms, std::function<void()> then) {
            m.waits.append(ms);
            QTimer::singleShot(ms / 10, QCoreApplication::instance(), std::move(then));
        };
        AppUninstaller service(tools);
        if (!selectAndWait(service, appAt(bundle, identifier, 1)))
            return std::nullopt;
        return uninstallAndWait(service);
    }
    // Uninstalls the app and waits for the child to end, checking what every such run ends with:
    // the child ended by a signal, the app removed and in the Trash. False when it did not finish.
    bool uninstallToTheEnd() {
        const auto outcome = uninstall();
        if (!outcome)
            return false;
        // The event loop of the uninstall may already have seen it end.
        EXPECT_TRUE(child.state() == QProcess::NotRunning || child.waitForFinished(5000));
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
        EXPECT_TRUE(outcome->appRemoved);
        EXPECT_TRUE(QFileInfo::exists(m.trashFiles() + "/Child.app"));
        return true;
    }
};

TEST(Uninstall, ARealChildThatHonoursTheRequestQuitsWithoutForce) {
    Machine m;
    BundleChild c(m, QStringLiteral("read line"));
    if (!c.processes)
        GTEST_SKIP() << "no shell to copy";
    ASSERT_TRUE(testsupport::waitFor([&] { return c.listed(); }));
    const qint64 pid = c.child.processId();
    ASSERT_TRUE(c.uninstallToTheEnd());
    EXPECT_EQ(c.signalled, QList<qint64>({pid}));
    EXPECT_LE(m.waits.size(), 5);
    EXPECT_FALSE(m.waits.contains(AppUninstaller::kForceSettleMs));
}

TEST(Uninstall, ARealChildThatIgnoresTheRequestIsForcedAfterThePolls) {
    Machine m;
    // The child says so once it ignores the request; a request sent before that would end it.
    BundleChild c(m, QStringLiteral("trap '' TERM; echo ignoring; read line"));
    if (!c.processes)
        GTEST_SKIP() << "no shell to copy";
    ASSERT_TRUE(testsupport::waitFor([&] { return c.listed(); }));
    QByteArray said;
    ASSERT_TRUE(testsupport::waitFor([&] {
        said += c.child.readAllStandardOutput();
        return said.contains("ignoring");
    }));
    const qint64 pid = c.child.processId();
    ASSERT_TRUE(c.uninstallToTheEnd());
    EXPECT_EQ(m.waits.size(), AppUninstaller::kQuitPolls + 1);
    EXPECT_EQ(m.waits.last(), AppUninstaller::kForceSettleMs);
    // The request, then the forced quit, both to the child alone.
    EXPECT_EQ(c.signalled, QList<qint64>({pid, pid}));
}
