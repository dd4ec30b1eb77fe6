// tools/check-tree.sh, the check CI runs over what git tracks, run on a throw-away repository:
// what it must refuse, and that a tidy tree passes.
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QStandardPaths>

namespace {

using testsupport::write;

struct Outcome {
    int status = -1;
    QString report;
};

bool git(const QString& repo, const QStringList& args) {
    QProcess p;
    p.setWorkingDirectory(repo);
    p.start(QStringLiteral("git"), args);
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

Outcome check(const QString& repo) {
    QProcess p;
    p.start(QStringLiteral("bash"),
            {QStringLiteral(PENDREL_SOURCE_DIR "/tools/check-tree.sh"), repo});
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

// A repository with only what the check expects at the top, tracked.
QString tidyRepository(const QString& name) {
    const QString repo = testsupport::freshDir(name);
    EXPECT_TRUE(git(repo, {"init", "-q"}));
    write(repo + "/CMakeLists.txt", "project(x)\n");
    write(repo + "/src/shell/ScanJob.h", "#include <QThreadPool>\nQThreadPool pool;\n");
    write(repo + "/src/platform/ParallelLoop.h",
          "int n = std::thread::hardware_concurrency();\nstd::vector<std::thread> helpers;\n");
    write(repo + "/src/app/Shots.cpp",
          "void f() { QThreadPool::globalInstance()->waitForDone(); }\n");
    write(repo + "/src/vitals/Gauge.h", "#include \"platform/Files.h\"\n");
    // A view takes its wording from the screen's texts, where a sentence is at home.
    write(repo + "/src/vitals/GaugeText.cpp", "return QStringLiteral(\"Free up memory\");\n");
    write(repo + "/src/vitals/views/Gauge.cpp", "setObjectName(QStringLiteral(\"gauge\"));\n"
                                                "label(GaugeText::title());\n"
                                                "button(QStringLiteral(\"Quit\"));\n");
    write(repo + "/tests/fixtures/vitals/bare/proc/.gitkeep", "");
    return repo;
}

} // namespace

TEST(TreeCheck, RefusesWhatACarelessCommitTakesInAndPassesATidyTree) {
    if (QStandardPaths::findExecutable("git").isEmpty())
        GTEST_SKIP() << "git is not installed";
    const QString repo = tidyRepository("tidy");
    ASSERT_TRUE(git(repo, {"add", "."}));
    const Outcome tidy = check(repo);
    EXPECT_EQ(tidy.status, 0) << qPrintable(tidy.report);

    write(repo + "/--help/out.txt", "a benchmark's output\n");
    write(repo + "/tests/app/Walk.cpp", "");
    write(repo + "/tests/fixtures/big.bin", QByteArray(256 * 1024 + 1, 'x'));
    write(repo + QString::fromUtf8("/src/vitals/Caf\u00e9.h"), "#pragma once\n");
    write(repo + "/notes.txt", "scratch\n");
    write(repo + "/src/vitals/Dial.h", "#include \"../shell/ScanJob.h\"\n");
    write(repo + "/src/vitals/Knob.h", "#include <../shell/shell/ScanJob.h>\n");
    write(repo + "/src/vitals/Worker.h", "struct Worker : QThread {};\n"
                                         "class Loader : public QObject, protected QThread {};\n"
                                         "void wait(int ms, QThread* on);\n");
    write(repo + "/src/developer/Pair.cpp", "#include <QtConcurrent/QtConcurrentRun>\n"
                                            "// QtConcurrent in a comment is no use of it\n"
                                            "auto future = QtConcurrent::run(load);\n"
                                            "std::thread worker(load);\n"
                                            "QThreadPool::globalInstance()->start(job);\n");
    write(repo + "/src/vitals/views/Dial.cpp",
          "label(QStringLiteral(\"Free up memory\"));\n"
          "box->setObjectName(QStringLiteral(\"group-Privacy and AI\"));\n"
          "// QStringLiteral(\"Open Pendrel…\") in a comment is no wording of the view\n"
          "busy(QString::fromUtf8(\"Preparing…\"));\n"
          "part(new QLabel(this)).name(QStringLiteral(\"two words\"));\n");
    ASSERT_TRUE(git(repo, {"add", "--", "."}));
    const Outcome careless = check(repo);
    EXPECT_EQ(careless.status, 1);
    const QStringList lines = careless.report.split('\n', Qt::SkipEmptyParts);
    const auto reports = [&](const QString& path, const QString& what) {
        return lines.filter(path).filter(what).size();
    };
    EXPECT_EQ(reports("--help/out.txt", "starts with '-'"), 1) << qPrintable(careless.report);
    EXPECT_EQ(reports("--help", "top-level entry"), 1);
    EXPECT_EQ(reports("notes.txt", "top-level entry"), 1);
    EXPECT_EQ(reports("tests/app/Walk.cpp", "empty"), 1);
    EXPECT_EQ(reports("tests/fixtures/big.bin", "over 262144"), 1);
    EXPECT_EQ(reports("src/vitals/Caf", "outside printable ASCII"), 1);
    EXPECT_EQ(reports("src/vitals/Dial.h:1", "\"../\""), 1);
    EXPECT_EQ(reports("src/vitals/Knob.h:1", "\"../\""), 1);
    EXPECT_EQ(reports("src/developer/Pair.cpp", "use ScanJob"), 3);
    EXPECT_EQ(reports("src/vitals/Worker.h:1", "use ScanJob"), 1);
    EXPECT_EQ(reports("src/vitals/Worker.h:2", "use ScanJob"), 1);
    EXPECT_EQ(lines.filter("Worker.h:3").size(), 0); // a thread handed in starts nothing
    EXPECT_EQ(lines.filter("Pair.cpp:2").size(), 0); // the comment
    EXPECT_EQ(reports("src/vitals/views/Dial.cpp:1", "<Screen>Text.h"), 1);
    EXPECT_EQ(reports("src/vitals/views/Dial.cpp:4", "<Screen>Text.h"), 1); // a word ending in "…"
    EXPECT_EQ(lines.filter("Dial.cpp:2").size(), 0);                        // an object name
    EXPECT_EQ(lines.filter("Dial.cpp:3").size(), 0);                        // the comment
    EXPECT_EQ(lines.filter("Dial.cpp:5").size(), 0);                        // a part's name
    EXPECT_EQ(lines.size(), 15) << qPrintable(careless.report);
}
