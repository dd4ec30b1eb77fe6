// The app's file writers: the data-folder JSON writer and the autostart login item.
#include "platform/AppSupportFolder.h"
#include "platform/LoginItem.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QJsonObject>

namespace {
void touch(const QString& path, const QByteArray& bytes = {}) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}
} // namespace

TEST(AppSupportFolder, WritesCompactJsonAndReadsItBack) {
    const AppSupportFolder folder(testsupport::freshDir("support") + "/Pendrel");
    QString error;
    ASSERT_TRUE(folder.writeJson("timeline.v1.json", QJsonDocument(QJsonObject{{"a", 1}}), &error))
        << error.toStdString();
    QFile f(folder.pathFor("timeline.v1.json"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(R"({"a":1})"));
    EXPECT_EQ(folder.readJson("timeline.v1.json")->object().value("a").toInt(), 1);
    EXPECT_FALSE(folder.readJson("missing.json").has_value());
}

TEST(AppSupportFolder, CorruptFileIsMovedAsideBeforeAnyRewrite) {
    const QString dir = testsupport::freshDir("support-corrupt");
    const AppSupportFolder folder(dir);
    touch(folder.pathFor("apps.json"), "[1,");
    EXPECT_FALSE(folder.readJson("apps.json").has_value());
    EXPECT_EQ(QDir(dir).entryList({"apps.json.corrupt-*"}).size(), 1);
    EXPECT_FALSE(QFile::exists(folder.pathFor("apps.json")));
}

TEST(AppSupportFolder, FailedWriteReportsAReasonAndTheLogLineNamesTheFile) {
    const QString dir = testsupport::freshDir("support-blocked");
    touch(dir + "/Pendrel"); // a file where the folder must go
    const AppSupportFolder folder(dir + "/Pendrel");
    QString error;
    EXPECT_FALSE(folder.writeJson("apps.json", QJsonDocument(QJsonObject{}), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(AppSupportFolder::writeFailureLine("apps.json", "Disk full"),
              "Pendrel cache write failed for apps.json: Disk full");
}

TEST(AppSupportFolder, DatesAreSecondsSince2001) {
    const QDateTime t(QDate(2001, 1, 2), QTime(0, 0, 1), Qt::UTC);
    EXPECT_DOUBLE_EQ(secondsSinceReferenceDate(t), 86401.0);
    EXPECT_EQ(dateFromReferenceSeconds(86401.0), t);
}

TEST(AutostartLoginItem, RegisterWritesTheEntryAndUnregisterRemovesIt) {
    const QString dir = testsupport::freshDir("autostart") + "/autostart";
    AutostartLoginItem item(dir, "/opt/my apps/pendrel");
    EXPECT_EQ(item.status(), LoginItemService::Status::NotRegistered);
    QString error;
    ASSERT_TRUE(item.registerItem(&error)) << error.toStdString();
    EXPECT_EQ(item.status(), LoginItemService::Status::Enabled);
    QFile f(item.filePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("Exec=\"/opt/my apps/pendrel\"\n"));
    f.close();
    ASSERT_TRUE(item.unregisterItem(&error));
    EXPECT_FALSE(QFile::exists(item.filePath()));
    EXPECT_TRUE(item.unregisterItem(&error)) << "removing what is not there is no failure";
}

TEST(AutostartLoginItem, AnEntrySwitchedOffByTheDesktopCountsAsNotRegistered) {
    const QString dir = testsupport::freshDir("autostart-hidden");
    AutostartLoginItem item(dir, "pendrel");
    touch(item.filePath(), "[Desktop Entry]\nExec=pendrel\nHidden=true\n");
    EXPECT_EQ(item.status(), LoginItemService::Status::NotRegistered);
}

TEST(AutostartLoginItem, RegisterFailsWithAReasonWhenTheFolderCannotBeMade) {
    const QString dir = testsupport::freshDir("autostart-blocked");
    touch(dir + "/autostart");
    AutostartLoginItem item(dir + "/autostart", "pendrel");
    QString error;
    EXPECT_FALSE(item.registerItem(&error));
    EXPECT_FALSE(error.isEmpty());
}
