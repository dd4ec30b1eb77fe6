// The app's file writers: the data-folder JSON writer and the autostart login item.
#include "platform/AppSupportFolder.h"
#include "platform/LoginItem.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <limits>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QScopeGuard>
#include <sys/stat.h>

namespace {
void touch(const QString& path, const QByteArray& bytes = {}) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}
} // namespace

TEST(AppSupportFolder, WritesCompactJsonAndReadsTheBytesBack) {
    const AppSupportFolder folder(testsupport::freshDir("support") + "/Pendrel");
    const mode_t umask = ::umask(022);
    const auto restore = qScopeGuard([umask] { ::umask(umask); });
    QString error;
    ASSERT_TRUE(folder.writeJson("timeline.v1.json", QJsonDocument(QJsonObject{{"a", 1}}), &error))
        << error.toStdString();
    QByteArray bytes;
    ASSERT_EQ(folder.readBytes("timeline.v1.json", 100, &bytes),
              AppSupportFolder::ReadStatus::Read);
    EXPECT_EQ(bytes, QByteArray(R"({"a":1})"));
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther;
    EXPECT_FALSE(QFile::permissions(folder.pathFor("timeline.v1.json")) & others);
    EXPECT_FALSE(QFile::permissions(folder.directory()) & others) << "the folder is private too";
    EXPECT_EQ(folder.readBytes("missing.json", 100, &bytes), AppSupportFolder::ReadStatus::Missing);
}

TEST(AppSupportFolder, ReadingRefusesWhatIsNotAFileOrTooLarge) {
    const QString dir = testsupport::freshDir("support-read");
    const AppSupportFolder folder(dir);
    touch(folder.pathFor("big.json"), QByteArray(101, 'x'));
    QDir().mkpath(folder.pathFor("folder.json"));
    QByteArray bytes;
    QString reason;
    EXPECT_EQ(folder.readBytes("big.json", 100, &bytes, &reason),
              AppSupportFolder::ReadStatus::Failed);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(folder.readBytes("folder.json", 100, &bytes), AppSupportFolder::ReadStatus::Failed);
}

TEST(AppSupportFolder, MovingAsideKeepsEveryEarlierCopy) {
    const QString dir = testsupport::freshDir("support-aside");
    const AppSupportFolder folder(dir);
    touch(folder.pathFor("apps.json"), "first");
    const QString first = folder.moveAsideUnreadable("apps.json");
    touch(folder.pathFor("apps.json"), "second");
    const QString second = folder.moveAsideUnreadable("apps.json");
    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(second.isEmpty());
    EXPECT_NE(first, second);
    EXPECT_EQ(QDir(dir).entryList({"apps.json.unreadable-*"}).size(), 2);
    EXPECT_FALSE(QFile::exists(folder.pathFor("apps.json")));
    EXPECT_TRUE(folder.moveAsideUnreadable("apps.json").isEmpty()) << "nothing left to move";
}

TEST(AppSupportFolder, FailedWriteReportsAReason) {
    const QString dir = testsupport::freshDir("support-blocked");
    touch(dir + "/Pendrel"); // a file where the folder must go
    const AppSupportFolder folder(dir + "/Pendrel");
    QString error;
    EXPECT_FALSE(folder.writeJson("apps.json", QJsonDocument(QJsonObject{}), &error));
    EXPECT_TRUE(error.endsWith(": Not a directory")) << error.toStdString();
}

TEST(AppSupportFolder, DatesAreSecondsSince2001) {
    const QDateTime t(QDate(2001, 1, 2), QTime(0, 0, 1), Qt::UTC);
    EXPECT_DOUBLE_EQ(secondsSinceReferenceDate(t), 86401.0);
    EXPECT_EQ(dateFromReferenceSeconds(86401.0), t);
    // Any number a file may hold gives a valid date.
    for (double wild : {1e300, -1e300, std::numeric_limits<double>::infinity(),
                        std::numeric_limits<double>::quiet_NaN()})
        EXPECT_TRUE(dateFromReferenceSeconds(wild).isValid());
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
