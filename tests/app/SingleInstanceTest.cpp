// One running app per user: a later launch hands its message over and exits 0.
#include "platform/SingleInstance.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <thread>

TEST(SingleInstance, TheSecondHandsItsMessageToTheFirst) {
    const QString path = testsupport::freshDir("single") + "/p.sock";
    SingleInstance first(path);
    ASSERT_EQ(first.start("reopen"), SingleInstance::Result::Primary)
        << first.errorString().toStdString();
    QSignalSpy received(&first, &SingleInstance::messageReceived);

    // The second launch blocks while it waits for the answer, so it runs on another thread here.
    SingleInstance::Result secondResult = SingleInstance::Result::Failed;
    std::thread other([&] {
        SingleInstance second(path);
        secondResult = second.start("pendrel://storage/screenshots");
    });
    ASSERT_TRUE(testsupport::waitFor([&] { return received.count() == 1; }));
    other.join();
    EXPECT_EQ(secondResult, SingleInstance::Result::HandedOver);
    EXPECT_EQ(received.at(0).at(0).toString(), "pendrel://storage/screenshots");
}

TEST(SingleInstance, AStaleSocketFromACrashedRunDoesNotBlockTheNextStart) {
    const QString path = testsupport::freshDir("stale") + "/p.sock";
    QFile stale(path);
    stale.open(QIODevice::WriteOnly);
    stale.close();
    SingleInstance instance(path);
    EXPECT_EQ(instance.start("reopen", 500), SingleInstance::Result::Primary);
}

// The real executable, twice, in this test's sandboxed home.
TEST(SingleInstance, ASecondLaunchOfTheAppHandsOverItsUrlAndExitsZero) {
    if (!QFile::exists(testsupport::appBinary()))
        GTEST_SKIP() << "the app is not built";
    QProcess first;
    first.setProcessChannelMode(QProcess::MergedChannels);
    first.start(testsupport::appBinary(), {});
    ASSERT_TRUE(first.waitForStarted());
    const QString socket = SingleInstance::defaultSocketPath();
    ASSERT_TRUE(testsupport::waitFor([&] { return QFile::exists(socket); }, 10000))
        << first.readAll().toStdString();

    QProcess second;
    second.setProcessChannelMode(QProcess::MergedChannels);
    second.start(testsupport::appBinary(), {"pendrel://duplicates"});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAll().toStdString();

    QByteArray log;
    EXPECT_TRUE(testsupport::waitFor(
        [&] {
            log += first.readAll();
            return log.contains("handed over \"pendrel://duplicates\"");
        },
        10000))
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
