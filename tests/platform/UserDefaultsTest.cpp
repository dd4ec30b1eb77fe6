#include "platform/UserDefaults.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSignalSpy>

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
    d.setValue("k", true);
    EXPECT_EQ(UserDefaults(path).boolValue("k"), true);
}

TEST(UserDefaults, FailedWriteKeepsTheValueInMemoryAndSaysSo) {
    const QString dir = testsupport::freshDir("blocked");
    // A file where the folder should be makes every write fail, even for root.
    QFile blocker(dir + "/sub");
    blocker.open(QIODevice::WriteOnly);
    blocker.close();
    UserDefaults d(dir + "/sub/defaults.json");
    EXPECT_FALSE(d.setValue("k", 1));
    EXPECT_EQ(d.integerValue("k"), 1);
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
