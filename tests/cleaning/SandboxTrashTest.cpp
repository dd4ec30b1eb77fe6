// Cleaning a sandboxed home into its real freedesktop Trash, read back by the command-line
// tools of that Trash: every item listed with its original path, one put back where it was.
#include "cleaning/CleaningTestSupport.h"
#include "cleaning/CleanupScanner.h"
#include "platform/FreedesktopTrash.h"

#include <QProcessEnvironment>
#include <QStandardPaths>

using namespace cleaningtest;

namespace {

QString runTool(const QString& tool, const QStringList& args, const QString& workDir,
                const QByteArray& input = {}) {
    QProcess p;
    p.setWorkingDirectory(workDir);
    p.start(tool, args);
    EXPECT_TRUE(p.waitForStarted(10000));
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(30000));
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

} // namespace

TEST(SandboxTrash, CleanedItemsAreListedByTrashListAndOneComesBack) {
    const QString trashList = QStandardPaths::findExecutable("trash-list");
    const QString trashRestore = QStandardPaths::findExecutable("trash-restore");
    if (trashList.isEmpty() || trashRestore.isEmpty())
        GTEST_SKIP() << "trash-cli is not installed";

    // The test process's own home and XDG folders are the sandbox; the tools read the same.
    const HomeLayout layout = HomeLayout::fromEnvironment();
    ASSERT_EQ(layout.home(), testsupport::home());
    const QString outside = testsupport::freshDir("outside-the-home-tree");
    writeFile(outside + "/untouched.txt", 10);
    const QString cache = layout.cacheHome();
    writeFile(cache + "/tool one/blob.bin", 9000);
    writeFile(cache + "/50%.log", 10);
    writeFile(cache + "/.hidden.db", 10);
    symlinkTo(outside + "/untouched.txt", cache + "/link");

    CleanupScanner::Deps tools = CleanupScanner::Deps::system(layout);
    DiskCleanupScanner scanner(layout, tools);
    const CleanResult r = cleanAndWait(scanner, {"caches"});
    EXPECT_TRUE(r.failures.isEmpty()) << r.failures.join("; ").toStdString();

    const QString listed = runTool(trashList, {}, layout.home());
    for (const char* item : {"/tool one", "/50%.log", "/.hidden.db", "/link"})
        EXPECT_TRUE(listed.contains(" " + cache + QString::fromUtf8(item) + "\n"))
            << listed.toStdString();
    EXPECT_TRUE(
        QDir(cache).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));

    // trash-restore lists what was trashed below the folder given and asks which to put back.
    const QString answer = runTool(trashRestore, {cache + "/tool one"}, cache, "0\n");
    EXPECT_TRUE(QFileInfo::exists(cache + "/tool one/blob.bin")) << answer.toStdString();
    EXPECT_FALSE(runTool(trashList, {}, layout.home()).contains(cache + "/tool one\n"));

    EXPECT_TRUE(QFileInfo::exists(outside + "/untouched.txt"));
}
