// One running app per user: a later launch hands its message over and exits 0, and no launch
// loses its message, however many start together.
#include "platform/SingleInstance.h"
#include "support/TestSupport.h"

#include <atomic>
#include <cstring>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTimer>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using Result = SingleInstance::Result;

namespace {

// A socket file at path that nobody listens on, as a crashed run leaves it.
void leaveDeadSocket(const QString& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    std::memcpy(addr.sun_path, native.constData(), size_t(native.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);
}

// Runs start() on another thread, as a second launch would be another process: the calling
// thread keeps the primary's event loop going.
struct Launch {
    explicit Launch(QStringList folders, QString message, int timeoutMs = 10000)
        : thread([this, folders, message, timeoutMs] {
              SingleInstance instance(folders);
              result = instance.start(message, timeoutMs);
              finished = true;
          }) {}
    ~Launch() { thread.join(); }
    std::atomic<Result> result{Result::Failed};
    std::atomic<bool> finished{false};
    std::thread thread;
};

// Keeps the app's fallback place for its socket (under the temporary folder) in the sandbox
// too, for the tests that start the real executable.
void sandboxTemporaryFolder() {
    const QString temp = testsupport::home() + QStringLiteral("/tmp");
    QDir().mkpath(temp);
    qputenv("TMPDIR", QFile::encodeName(temp));
}

int mode(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return int(st.st_mode & 07777);
}

} // namespace

TEST(SingleInstance, TheSecondHandsItsMessageToTheFirst) {
    const QStringList folders{testsupport::freshDir("single") + "/sock"};
    SingleInstance first(folders);
    ASSERT_EQ(first.start("reopen"), Result::Primary) << first.errorString().toStdString();
    EXPECT_EQ(first.socketPath(), folders[0] + "/pendrel.sock");
    EXPECT_EQ(mode(folders[0]), 0700);
    QSignalSpy received(&first, &SingleInstance::messageReceived);

    Launch second(folders, "pendrel://storage/screenshots");
    ASSERT_TRUE(testsupport::waitFor([&] { return received.count() == 1 && second.finished; }));
    EXPECT_EQ(second.result, Result::HandedOver);
    EXPECT_EQ(received.at(0).at(0).toString(), "pendrel://storage/screenshots");
}

TEST(SingleInstance, ALaunchWaitsForAnInstanceThatIsStillStartingUp) {
    const QStringList folders{testsupport::freshDir("slow") + "/sock"};
    SingleInstance first(folders);
    ASSERT_EQ(first.start("reopen"), Result::Primary);
    QSignalSpy received(&first, &SingleInstance::messageReceived);
    Launch second(folders, "pendrel://duplicates");
    // The instance's event loop does not run for a while (it is building its windows).
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_FALSE(second.finished);
    ASSERT_TRUE(testsupport::waitFor([&] { return second.finished.load(); }));
    EXPECT_EQ(second.result, Result::HandedOver);
    ASSERT_TRUE(testsupport::waitFor([&] { return received.count() == 1; }));
}

TEST(SingleInstance, AnInstanceThatGoesAwayBeforeAnsweringIsReplacedNotLost) {
    const QString folder = testsupport::freshDir("gone") + "/sock";
    QDir().mkpath(folder);
    ::chmod(QFile::encodeName(folder).constData(), 0700);
    // An instance that takes the connection and dies without answering.
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(SingleInstance::socketPathIn(folder));
    std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    std::thread dying([listener] {
        const int connection = ::accept(listener, nullptr, nullptr);
        ::close(connection);
        ::close(listener);
    });

    SingleInstance next({folder});
    EXPECT_EQ(next.start("pendrel://duplicates", 5000), Result::Primary)
        << next.errorString().toStdString();
    EXPECT_EQ(next.socketPath(), QFile::decodeName(path));
    dying.join();
}

TEST(SingleInstance, AnInstanceThatHasBegunQuittingLeavesTheNextLaunchToStartItself) {
    const QStringList folders{testsupport::freshDir("quitting") + "/sock"};
    SingleInstance first(folders);
    ASSERT_EQ(first.start("reopen"), Result::Primary);
    // The app quits: its event loop ends, and what the exit still does lies ahead of it.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();

    SingleInstance next(folders);
    EXPECT_EQ(next.start("pendrel://duplicates", 2000), Result::Primary)
        << next.errorString().toStdString();
    EXPECT_EQ(next.socketPath(), SingleInstance::socketPathIn(folders[0]));
}

TEST(SingleInstance, AStaleSocketFromACrashedRunDoesNotBlockTheNextStart) {
    const QString folder = testsupport::freshDir("stale") + "/sock";
    QDir().mkpath(folder);
    leaveDeadSocket(SingleInstance::socketPathIn(folder));
    SingleInstance instance({folder});
    EXPECT_EQ(instance.start("reopen", 500), Result::Primary);
    EXPECT_FALSE(instance.socketPath().isEmpty());
}

TEST(SingleInstance, PlacesThatCannotHoldThePrivateSocketArePassedOver) {
    const QString base = testsupport::freshDir("places");
    // Too long for a socket address once "/pendrel.sock" is added.
    const QString tooLong = base + "/" + QString(120 - base.size(), QLatin1Char('l'));
    // Something that is not a socket where the socket goes, and a file where the folder goes.
    const QString blocked = base + "/blocked";
    QDir().mkpath(SingleInstance::socketPathIn(blocked) + "/a folder");
    const QString notAFolder = base + "/file";
    QFile(notAFolder).open(QIODevice::WriteOnly);
    // A link to a folder is not the folder.
    const QString linked = base + "/linked";
    QDir().mkpath(base + "/target");
    QFile::link(base + "/target", linked);
    // Open to others: tightened, then used.
    const QString open = base + "/open";
    QDir().mkpath(open);
    ::chmod(QFile::encodeName(open).constData(), 0755);

    ASSERT_GT(QFile::encodeName(SingleInstance::socketPathIn(tooLong)).size(), 107);
    SingleInstance instance({tooLong, blocked, notAFolder, linked, open});
    ASSERT_EQ(instance.start("reopen", 2000), Result::Primary);
    EXPECT_EQ(instance.socketPath(), SingleInstance::socketPathIn(open));
    EXPECT_EQ(mode(open), 0700);
    EXPECT_TRUE(QFileInfo(SingleInstance::socketPathIn(blocked)).isDir()) << "left as it was";

    // A folder of another user is never used (root can make one).
    if (::geteuid() == 0) {
        const QString foreign = base + "/foreign";
        QDir().mkpath(foreign);
        ::chmod(QFile::encodeName(foreign).constData(), 0700);
        ASSERT_EQ(::chown(QFile::encodeName(foreign).constData(), 12345, 12345), 0);
        SingleInstance other({foreign});
        EXPECT_EQ(other.start("reopen", 1000), Result::Primary);
        EXPECT_TRUE(other.socketPath().isEmpty());
    }
}

TEST(SingleInstance, WithNoUsablePlaceTheAppStillStartsAlone) {
    const QString base = testsupport::freshDir("nowhere");
    const QString blocked = base + "/blocked";
    QDir().mkpath(SingleInstance::socketPathIn(blocked));
    SingleInstance instance({blocked, "relative/path"});
    EXPECT_EQ(instance.start("pendrel://duplicates", 1000), Result::Primary);
    EXPECT_TRUE(instance.socketPath().isEmpty());
    EXPECT_TRUE(instance.errorString().contains("is not a socket"))
        << instance.errorString().toStdString();
}

TEST(SingleInstance, OnlyProcessesOfTheSameUserAreTalkedTo) {
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    EXPECT_TRUE(SingleInstance::peerIsOwner(pair[0], ::geteuid()));
    EXPECT_FALSE(SingleInstance::peerIsOwner(pair[0], ::geteuid() + 1));
    ::close(pair[0]);
    ::close(pair[1]);
    EXPECT_FALSE(SingleInstance::peerIsOwner(-1, ::geteuid())) << "no socket, no peer";
}

// The real executable, in this test's sandboxed home.
TEST(SingleInstance, ASecondLaunchOfTheAppHandsOverItsUrlAndExitsZero) {
    if (!QFile::exists(testsupport::appBinary()))
        GTEST_SKIP() << "the app is not built";
    sandboxTemporaryFolder();
    // A test before this one in the same process may have killed an instance and left its
    // socket behind: the socket seen below must be the one this launch makes.
    const QString socket = SingleInstance::socketPathIn(SingleInstance::defaultFolders().first());
    QFile::remove(socket);
    QProcess first;
    first.setProcessChannelMode(QProcess::MergedChannels);
    first.start(testsupport::appBinary(), {});
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(testsupport::waitFor([&] { return QFile::exists(socket); }, 180000))
        << first.readAll().toStdString();

    QProcess second;
    second.setProcessChannelMode(QProcess::MergedChannels);
    second.start(testsupport::appBinary(), {"pendrel://duplicates"});
    const bool secondEnded = second.waitForFinished(30000);
    if (!secondEnded)
        second.kill();
    ASSERT_TRUE(secondEnded) << "first: " << first.readAll().toStdString()
                             << "\nsecond: " << second.readAll().toStdString();
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAll().toStdString();

    QByteArray log;
    EXPECT_TRUE(testsupport::waitFor(
        [&] {
            log += first.readAll();
            return log.contains("handed over \"pendrel://duplicates\"");
        },
        180000))
        << log.toStdString();
    first.kill();
    first.waitForFinished();

    // Killed without cleaning up: the next launch still becomes the running instance.
    QProcess third;
    third.start(testsupport::appBinary(), {});
    ASSERT_TRUE(third.waitForStarted());
    EXPECT_FALSE(third.waitForFinished(1500)) << "it should stay up as the primary instance";
    third.kill();
    third.waitForFinished();
}

TEST(SingleInstance, TwoHundredLaunchesAtOnceLoseNoLink) {
    if (!QFile::exists(testsupport::appBinary()))
        GTEST_SKIP() << "the app is not built";
    sandboxTemporaryFolder();
    rlimit files{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &files);

    constexpr int launches = 200;
    const QString logs = testsupport::freshDir("storm");
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 0; i < launches; ++i) {
        auto p = std::make_unique<QProcess>();
        p->setStandardInputFile(QProcess::nullDevice());
        p->setStandardOutputFile(logs + QStringLiteral("/%1.log").arg(i));
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(testsupport::appBinary(), {QStringLiteral("pendrel://storm-%1").arg(i)});
        processes.push_back(std::move(p));
    }
    auto log = [&](int i) {
        QFile f(logs + QStringLiteral("/%1.log").arg(i));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };

    // All but one hand over and leave; the one left is the running instance.
    auto stillRunning = [&] {
        QList<int> left;
        for (int i = 0; i < launches; ++i) {
            if (processes[size_t(i)]->state() != QProcess::NotRunning)
                left.append(i);
        }
        return left;
    };
    testsupport::waitFor([&] { return stillRunning().size() <= 1; }, 240000);
    const QList<int> running = stillRunning();
    for (int i = 0; i < launches; ++i) {
        const QProcess& p = *processes[size_t(i)];
        if (running.contains(i))
            continue;
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << i;
        EXPECT_EQ(p.exitCode(), 0) << "launch " << i << " lost its link: " << log(i).toStdString();
    }
    ASSERT_EQ(running.size(), 1) << "more than one instance runs";
    const int primary = running.first();

    // It got every link exactly once: its own and the 199 handed to it.
    QByteArray seen;
    const bool all = testsupport::waitFor(
        [&] {
            seen = log(primary);
            return seen.count("handed over \"pendrel://storm-") >= launches;
        },
        120000);
    processes[size_t(primary)]->kill();
    processes[size_t(primary)]->waitForFinished();
    EXPECT_TRUE(all) << seen.count("handed over") << " of " << launches;
    for (int i = 0; i < launches; ++i) {
        const QByteArray line = "handed over \"pendrel://storm-" + QByteArray::number(i) + "\"";
        EXPECT_EQ(seen.count(line), 1) << i;
    }
}

TEST(SingleInstance, TheAppStartsWhenNoPlaceCanHoldItsSocket) {
    if (!QFile::exists(testsupport::appBinary()))
        GTEST_SKIP() << "the app is not built";
    const QString base = testsupport::freshDir("no-place");
    // A runtime folder too deep for a socket address, and a temporary folder whose own place
    // for the socket is taken by a folder.
    const QString runtime = base + "/" + QString(110, QLatin1Char('r'));
    QDir().mkpath(runtime);
    const QString temp = base + "/tmp";
    QDir().mkpath(QStringLiteral("%1/pendrel-%2/pendrel.sock").arg(temp).arg(::geteuid()));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime);
    env.insert("TMPDIR", temp);
    QProcess app;
    app.setProcessEnvironment(env);
    app.setProcessChannelMode(QProcess::MergedChannels);
    app.start(testsupport::appBinary(), {});
    ASSERT_TRUE(app.waitForStarted());
    // A loaded machine may take a while to start the app: wait for its word, not a fixed time.
    QByteArray output;
    const bool said = testsupport::waitFor(
        [&] {
            output += app.readAll();
            return output.contains("running without one") || app.state() == QProcess::NotRunning;
        },
        180000);
    const bool stayedUp = !app.waitForFinished(1000);
    output += app.readAll();
    app.kill();
    app.waitForFinished();
    EXPECT_TRUE(said && stayedUp) << output.toStdString();
    EXPECT_TRUE(output.contains("running without one")) << output.toStdString();
}
