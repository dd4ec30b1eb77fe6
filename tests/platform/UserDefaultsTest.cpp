#include "platform/UserDefaults.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QSignalSpy>
#include <sys/stat.h>

namespace {

QString writeFile(const QString& dir, const QByteArray& bytes) {
    const QString path = dir + QStringLiteral("/defaults.json");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

} // namespace

TEST(UserDefaults, ReadsAreStrictAboutTheStoredType) {
    const QString path = writeFile(testsupport::freshDir("typed"),
                                   R"({"flag":"yes","b":true,"int":2,"frac":2.5,"str":"2",
                                       "big":1e30,"list":["a","b"],"mixed":["a",1]})");
    UserDefaults d(path);
    EXPECT_FALSE(d.boolValue("flag").has_value()) << "a string under a Boolean key is no Boolean";
    EXPECT_EQ(d.boolValue("b"), true);
    EXPECT_EQ(d.integerValue("int"), 2);
    EXPECT_FALSE(d.integerValue("frac").has_value());
    EXPECT_FALSE(d.integerValue("str").has_value());
    EXPECT_FALSE(d.integerValue("big").has_value());
    EXPECT_EQ(d.doubleValue("frac"), 2.5);
    EXPECT_EQ(d.stringListValue("list"), QStringList({"a", "b"}));
    EXPECT_FALSE(d.stringListValue("mixed").has_value());
    EXPECT_FALSE(d.stringValue("missing").has_value());
    EXPECT_TRUE(d.value("missing").isUndefined());
}

TEST(UserDefaults, WritesPersistAndSignalEveryAssignment) {
    const QString path = testsupport::freshDir("persist") + QStringLiteral("/sub/defaults.json");
    {
        UserDefaults d(path);
        QSignalSpy spy(&d, &UserDefaults::changed);
        EXPECT_TRUE(d.setValue("run.mode", QStringLiteral("Start at login")));
        EXPECT_TRUE(d.setValue("run.mode", QStringLiteral("Start at login")));
        EXPECT_TRUE(d.setValue("count", 3));
        ASSERT_EQ(spy.count(), 3) << "an unchanged value is still announced";
        EXPECT_EQ(spy.at(0).at(0).toString(), QStringLiteral("run.mode"));
        d.remove("count");
        EXPECT_FALSE(d.contains("count"));
    }
    UserDefaults again(path);
    EXPECT_EQ(again.stringValue("run.mode"), QStringLiteral("Start at login"));
    EXPECT_FALSE(again.contains("count"));
}

TEST(UserDefaults, UndecodableFileIsKeptAsideNotOverwritten) {
    const QString dir = testsupport::freshDir("corrupt");
    const QString path = writeFile(dir, "{not json");
    UserDefaults d(path);
    EXPECT_FALSE(d.contains("anything"));
    const QStringList aside = QDir(dir).entryList({"defaults.json.corrupt-*"});
    ASSERT_EQ(aside.size(), 1);
    QFile kept(dir + "/" + aside.first());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("{not json"));
    EXPECT_TRUE(d.setValue("k", true));
    EXPECT_EQ(UserDefaults(path).boolValue("k"), true);

    // Valid JSON that is no settings object counts the same.
    writeFile(dir, "[1, 2]");
    UserDefaults fromArray(path);
    EXPECT_TRUE(fromArray.isSaving());
    EXPECT_EQ(QDir(dir).entryList({"defaults.json.corrupt-*"}).size(), 2);
}

TEST(UserDefaults, TheFileIsRewrittenOnlyWhenAValueChanges) {
    const QString path = writeFile(testsupport::freshDir("real-change"), R"({"n":2,"b":true})");
    UserDefaults d(path);
    const auto inode = [&] {
        struct stat st {};
        ::stat(QFile::encodeName(path).constData(), &st);
        return st.st_ino;
    };
    const auto before = inode();
    EXPECT_TRUE(d.setValue("n", qint64(2))); // the same number, written as an integer
    EXPECT_TRUE(d.setValue("b", true));
    EXPECT_TRUE(d.remove("missing"));
    EXPECT_EQ(inode(), before) << "the file was replaced without a change";
    EXPECT_TRUE(d.setValue("b", false));
    EXPECT_NE(inode(), before);
}

TEST(UserDefaults, AFailedWriteKeepsWhatIsStoredAndSaysWhy) {
    const QString dir = testsupport::freshDir("blocked");
    // A file where the folder should be makes every write fail, even for root.
    QFile blocker(dir + "/sub");
    blocker.open(QIODevice::WriteOnly);
    blocker.close();
    UserDefaults d(dir + "/sub/defaults.json");
    EXPECT_TRUE(d.isSaving());
    QSignalSpy changed(&d, &UserDefaults::changed);
    QSignalSpy failed(&d, &UserDefaults::saveFailed);
    QString message;
    EXPECT_FALSE(d.setValue("k", 1, &message));
    EXPECT_FALSE(d.contains("k")) << "what is shown is what the next start will read";
    EXPECT_TRUE(message.startsWith("Could not save the setting: ")) << message.toStdString();
    EXPECT_GT(message.size(), QString("Could not save the setting: ").size());
    ASSERT_EQ(changed.count(), 1) << "announced, so controls go back to the stored value";
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(failed.at(0).at(0).toString(), "k");
    EXPECT_EQ(failed.at(0).at(1).toString(), message);
}

TEST(UserDefaults, AnUnreadableFileIsMovedAsideBeforeAnythingIsWritten) {
    const QString dir = testsupport::freshDir("unreadable");
    const QString path = dir + "/defaults.json";
    // Something that cannot be read as a file, even by root: a folder, then a FIFO (which must
    // not make the start wait for a writer).
    QDir().mkpath(path + "/inside");
    UserDefaults fromFolder(path);
    EXPECT_TRUE(fromFolder.isSaving());
    EXPECT_TRUE(fromFolder.setValue("k", true));
    QStringList aside = QDir(dir).entryList({"defaults.json.corrupt-*"});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_TRUE(QFileInfo::exists(dir + "/" + aside.first() + "/inside"));

    QFile::remove(path);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    UserDefaults fromFifo(path);
    EXPECT_TRUE(fromFifo.isSaving());
    EXPECT_FALSE(fromFifo.contains("k"));
    EXPECT_EQ(
        QDir(dir).entryList({"defaults.json.corrupt-*"}, QDir::AllEntries | QDir::System).size(),
        2);
}

TEST(UserDefaults, AFileThatCouldNotBeUsedNorMovedIsNeverWrittenOver) {
    const QString dir = testsupport::freshDir("stuck");
    const QByteArray userFile = R"({"run.mode":"Start at login", "theme.appearance": "Dark",)";
    const QString path = writeFile(dir, userFile); // cut off: not valid JSON
    UserDefaults d(path, [](const QString&) { return QString(); });
    EXPECT_FALSE(d.isSaving());
    EXPECT_FALSE(d.notSavingReason().isEmpty());

    QSignalSpy failed(&d, &UserDefaults::saveFailed);
    QString message;
    EXPECT_FALSE(d.setValue("autopilot.enabled", false, &message));
    EXPECT_EQ(d.boolValue("autopilot.enabled"), false) << "kept in memory for this run";
    EXPECT_TRUE(message.contains("only until Pendrel quits")) << message.toStdString();
    EXPECT_EQ(failed.count(), 1);
    EXPECT_FALSE(d.setValue("autopilot.enabled", false)) << "nothing is saved while stuck";

    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), userFile);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"defaults.json"});
}

TEST(UserDefaults, ReloadAnnouncesOnlyKeysThatChanged) {
    const QString dir = testsupport::freshDir("reload");
    const QString path = writeFile(dir, R"({"a":1,"b":2})");
    UserDefaults d(path);
    writeFile(dir, R"({"a":1,"b":3,"c":true})");
    QSignalSpy spy(&d, &UserDefaults::changed);
    d.reload();
    QStringList keys;
    for (const auto& args : spy)
        keys << args.at(0).toString();
    keys.sort();
    EXPECT_EQ(keys, QStringList({"b", "c"}));
}
