// The real app started where there is no display: it must not try to open one, and what it points
// to instead must be there to run.
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace {

// This test's environment (its sandboxed home included) without any way to reach a display.
QProcessEnvironment withoutDisplay() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    return env;
}

struct Ran {
    int exitCode = -1;
    QString errors;
    QString output;
};

Ran runWithoutDisplay(const QString& program, const QStringList& args) {
    QProcess process;
    process.setProcessEnvironment(withoutDisplay());
    process.start(program, args);
    EXPECT_TRUE(process.waitForFinished(30000)) << program.toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << program.toStdString();
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError()),
            QString::fromLocal8Bit(process.readAllStandardOutput())};
}

} // namespace

TEST(NoDisplay, TheAppSaysSoAndNamesAToolThatRunsWithoutOne) {
    if (!QFile::exists(testsupport::appBinary()))
        GTEST_SKIP() << "the app is not built";
    const Ran app = runWithoutDisplay(testsupport::appBinary(), {});
    EXPECT_EQ(app.exitCode, 1);
    EXPECT_TRUE(app.errors.startsWith("Pendrel needs a graphical desktop and none was found "
                                      "(DISPLAY is not set); start it from a desktop session."))
        << app.errors.toStdString();

    const QString shots = QStringLiteral(PENDREL_BINARY_DIR "/src/pendrel-shots");
    if (!QFileInfo(shots).isExecutable()) {
        // Nothing is named that is not there.
        EXPECT_FALSE(app.errors.contains("pendrel-shots")) << app.errors.toStdString();
        GTEST_SKIP() << "the screenshot tool is not built";
    }
    // The command is named by the full path of the tool built beside the app.
    const QRegularExpression named(QStringLiteral(" (/\\S+) OUTDIR renders its screens without "
                                                  "one\\.\\n$"));
    const QRegularExpressionMatch match = named.match(app.errors);
    ASSERT_TRUE(match.hasMatch()) << app.errors.toStdString();
    EXPECT_EQ(QFileInfo(match.captured(1)).canonicalFilePath(),
              QFileInfo(shots).canonicalFilePath());
    // And it starts without a display: its usage names the same OUTDIR.
    const Ran help = runWithoutDisplay(match.captured(1), {"--help"});
    EXPECT_EQ(help.exitCode, 0) << help.errors.toStdString();
    EXPECT_TRUE(help.output.contains("OUTDIR")) << help.output.toStdString();
}
