#include "platform/FileRevealer.h"

#include <gtest/gtest.h>

// Without a bus (the test sandbox has none) the folder holding the file is opened instead, and
// the opener's answer is what the caller is told: an opener that finds no launcher means
// nothing showed the file.
TEST(FileManagerRevealer, OpensTheFolderWhenNoBusIsThereAndReportsTheOpenersAnswer) {
    for (const bool opens : {true, false}) {
        QList<QUrl> opened;
        FileManagerRevealer revealer(
            [] { return QDBusConnection(QStringLiteral("pendrel-no-bus")); },
            [&](const QUrl& url) {
                opened << url;
                return opens;
            });
        QList<bool> outcomes;
        revealer.reveal("/home/someone/.config/autostart/app.desktop",
                        [&](bool shown) { outcomes << shown; });
        EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile("/home/someone/.config/autostart")});
        EXPECT_EQ(outcomes, QList<bool>{opens});
    }
}
