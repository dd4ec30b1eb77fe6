#include "platform/FileRevealer.h"

#include <gtest/gtest.h>

// Without a bus (the test sandbox has none) the folder holding the file is opened instead.
TEST(FileManagerRevealer, OpensTheFolderWhenNoBusIsThere) {
    QList<QUrl> opened;
    FileManagerRevealer revealer([] { return QDBusConnection(QStringLiteral("pendrel-no-bus")); },
                                 [&](const QUrl& url) {
                                     opened << url;
                                     return true;
                                 });
    revealer.reveal("/home/someone/.config/autostart/app.desktop");
    EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile("/home/someone/.config/autostart")});
}
