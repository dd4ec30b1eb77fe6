// The real app, twice: a second launch with a pendrel:// link hands it to the running one, whose
// main window then shows the linked section.
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>

TEST(DeepLink, ASecondLaunchWithALinkOpensThatSectionInTheFirst) {
    if (!QFile::exists(testsupport::appBinary()))
        GTEST_SKIP() << "the app is not built";
    // Both processes inherit this test's sandboxed home and the offscreen platform.
    QProcess first;
    first.setProcessChannelMode(QProcess::MergedChannels);
    first.start(testsupport::appBinary(), {});
    ASSERT_TRUE(first.waitForStarted());
    QByteArray log;
    auto logHas = [&](const char* text) {
        return testsupport::waitFor(
            [&] {
                log += first.readAll();
                return log.contains(text);
            },
            15000);
    };
    ASSERT_TRUE(logHas("Pendrel: showing section dashboard")) << log.toStdString();

    QProcess second;
    second.setProcessChannelMode(QProcess::MergedChannels);
    second.start(testsupport::appBinary(), {"pendrel://duplicates"});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAll().toStdString();

    EXPECT_TRUE(logHas("Pendrel: showing section duplicates")) << log.toStdString();
    first.kill();
    first.waitForFinished();
}
