#include "platform/FileRevealer.h"
#include "platform/NativePath.h"

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

// The file manager is asked for the name on disk: each byte of a name that is not UTF-8 goes as
// itself, not as the UTF-8 of the character it was decoded to.
TEST(FileManagerRevealer, NamesAFileAndItsFolderByTheirOwnBytes) {
    EXPECT_EQ(FileManagerRevealer::fileUri(
                  NativePath::decode(QByteArray("/home/someone/Downloads/c\xff d\xc3\xa9.pdf"))),
              "file:///home/someone/Downloads/c%FF%20d%C3%A9.pdf");
    QList<QUrl> opened;
    FileManagerRevealer revealer([] { return QDBusConnection(QStringLiteral("pendrel-no-bus")); },
                                 [&](const QUrl& url) {
                                     opened << url;
                                     return true;
                                 });
    revealer.reveal(NativePath::decode(QByteArray("/home/someone/b\xfe/x.pdf")), {});
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().toEncoded(), "file:///home/someone/b%FE");
}
