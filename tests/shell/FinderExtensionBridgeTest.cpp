#include "shell/FinderExtensionBridge.h"
#include "platform/NotificationCenter.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <memory>
#include <QElapsedTimer>
#include <QTimer>
#include <QUrl>

namespace {

struct Post {
    QString name;
    QString payload;
    qint64 atMs;
};

// Records every cross-screen message and every activation while it lives.
class DeepLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        clock.start();
        for (const QString& name :
             {Notifications::OpenSection, Notifications::AskTamso, Notifications::OpenDiskMode,
              Notifications::RunSearch, Notifications::OpenDevPane}) {
            NotificationCenter::defaultCenter().observe(
                name, context.get(), [this, name](const QString& payload) {
                    posts.push_back({name, payload, clock.elapsed()});
                });
        }
    }
    // Destroying the context ends the observation, and a route still pending from this test is
    // drained so that it cannot reach the next one.
    void TearDown() override {
        pause(FinderExtensionBridge::kRouteDelayMs + 50);
        context.reset();
    }

    static void pause(int ms) {
        QElapsedTimer t;
        t.start();
        testsupport::waitFor([&] { return t.elapsed() >= ms; }, ms + 1000);
    }

    void open(const QString& link) {
        FinderExtensionBridge::handle(QUrl(link), [this] { ++activations; });
    }

    // The posts once any delayed route has arrived: a timer due just after the route's fires
    // after it, however late a loaded machine runs both.
    std::vector<Post> settled() {
        bool drained = false;
        QTimer::singleShot(FinderExtensionBridge::kRouteDelayMs + 20, Qt::PreciseTimer,
                           QCoreApplication::instance(), [&drained] { drained = true; });
        testsupport::waitFor([&drained] { return drained; }, 10000);
        return posts;
    }

    std::unique_ptr<QObject> context = std::make_unique<QObject>();
    std::vector<Post> posts;
    int activations = 0;
    QElapsedTimer clock;
};

std::vector<std::pair<QString, QString>> pairs(const std::vector<Post>& posts) {
    std::vector<std::pair<QString, QString>> out;
    for (const Post& p : posts)
        out.emplace_back(p.name, p.payload);
    return out;
}

using Pairs = std::vector<std::pair<QString, QString>>;

} // namespace

TEST_F(DeepLinkTest, StorageLinksOpenTheHubThenItsMode) {
    const struct {
        const char* link;
        const char* mode;
    } rows[] = {
        {"pendrel://storage/screenshots", "screenshots"},
        {"PENDREL://Storage/Screenshots", "screenshots"}, // scheme, host and path lower-cased
        {"pendrel://storage/map", "diskMap"},
        {"pendrel://storage/diskmap", "diskMap"},
        {"pendrel://storage/DiskMap", "diskMap"},
        {"pendrel://storage/maps", "hub"},
        {"pendrel://storage/organizer", "organizer"},
        {"pendrel://storage/cleanup", "system"},
        {"pendrel://storage", "hub"},
        {"pendrel://storage/", "hub"},
        {"pendrel://storage/screenshots/", "hub"},
        {"pendrel://storage/mail", "hub"},
    };
    for (const auto& row : rows) {
        posts.clear();
        activations = 0;
        open(QString::fromUtf8(row.link));
        EXPECT_EQ(pairs(settled()),
                  Pairs({{Notifications::OpenSection, "disk"},
                         {Notifications::OpenDiskMode, QString::fromUtf8(row.mode)}}))
            << row.link;
        EXPECT_EQ(activations, 1) << row.link;
    }
}

TEST_F(DeepLinkTest, TheModeFollowsTheSectionAfterTheDelay) {
    open("pendrel://storage/organizer");
    ASSERT_EQ(posts.size(), 1u); // the section is posted before handle() returns
    EXPECT_EQ(activations, 1);   // and the app comes forward without waiting for the mode
    const std::vector<Post> all = settled();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_GE(all[1].atMs - all[0].atMs, FinderExtensionBridge::kRouteDelayMs - 5);
}

TEST_F(DeepLinkTest, TwoQuickStorageLinksPostBothModesInOrder) {
    open("pendrel://storage/screenshots");
    open("pendrel://storage/organizer");
    EXPECT_EQ(pairs(settled()), Pairs({{Notifications::OpenSection, "disk"},
                                       {Notifications::OpenSection, "disk"},
                                       {Notifications::OpenDiskMode, "screenshots"},
                                       {Notifications::OpenDiskMode, "organizer"}}));
}

TEST_F(DeepLinkTest, RouteComparesExactly) {
    const struct {
        const char* path;
        const char* mode;
    } rows[] = {
        {"/screenshots", "screenshots"},
        {"screenshots", "screenshots"},
        {"/map", "diskMap"},
        {"map", "diskMap"},
        {"/diskmap", "diskMap"},
        {"diskmap", "hub"},
        {"/organizer", "organizer"},
        {"organizer", "organizer"},
        {"/cleanup", "system"},
        {"cleanup", "system"},
        {"/Cleanup", "hub"},
        {"", "hub"},
        {"/", "hub"},
        {"/maps", "hub"},
    };
    for (const auto& row : rows) {
        posts.clear();
        FinderExtensionBridge::route(QString::fromUtf8(row.path));
        EXPECT_EQ(pairs(posts), Pairs({{Notifications::OpenDiskMode, QString::fromUtf8(row.mode)}}))
            << row.path;
    }
}

TEST_F(DeepLinkTest, AssistantLinksAskTheQuestionOfTheFirstQItem) {
    const QString fallback = FinderExtensionBridge::defaultQuestion();
    EXPECT_EQ(fallback, "What should I do about this folder?");
    const struct {
        const char* link;
        QString question;
    } rows[] = {
        {"pendrel://tamso?q=why%20so%20slow", "why so slow"},
        {"pendrel://tamso?q=caf%C3%A9+time", "café+time"}, // "+" is not a space in a URL
        {"pendrel://tamso", fallback},
        {"pendrel://tamso?", fallback},
        {"pendrel://tamso?Q=hello", fallback}, // Q is not q
        {"pendrel://tamso?q", fallback},       // an item without a value
        {"pendrel://tamso?q=", ""},            // the empty question
        {"pendrel://tamso?x=1&q=first&q=second", "first"},
        {"pendrel://TAMSO/anything?q=a=b", "a=b"},
    };
    for (const auto& row : rows) {
        posts.clear();
        activations = 0;
        open(QString::fromUtf8(row.link));
        EXPECT_EQ(pairs(posts), Pairs({{Notifications::AskTamso, row.question}})) << row.link;
        EXPECT_EQ(activations, 1) << row.link;
    }
}

TEST_F(DeepLinkTest, OtherHostsOpenTheirSectionOrHome) {
    const struct {
        const char* link;
        const char* section;
    } rows[] = {
        {"pendrel://duplicates", "duplicates"},
        {"pendrel://Duplicates/whatever?q=1", "duplicates"},
        {"pendrel://vault", "dashboard"},
        {"pendrel://", "dashboard"}, // no host
        {"pendrel:", "dashboard"},
        {"pendrel:storage/screenshots", "dashboard"}, // a path, not a host
        {"pendrel:///screenshots", "dashboard"},
    };
    Pairs expected;
    for (const auto& row : rows) {
        open(QString::fromUtf8(row.link));
        expected.push_back({Notifications::OpenSection, QString::fromUtf8(row.section)});
    }
    // Nothing follows later either: only storage links schedule a mode.
    EXPECT_EQ(pairs(settled()), expected);
    EXPECT_EQ(activations, static_cast<int>(std::size(rows)));
}

TEST_F(DeepLinkTest, ForeignMissingOrMalformedSchemesChangeNothing) {
    for (const char* link : {"https://storage/screenshots", "file:///tmp/x", "storage/screenshots",
                             "", "pendrelx://storage", "pendrel://ho st/x", "pendrel://[bad/x"})
        open(QString::fromUtf8(link));
    EXPECT_TRUE(settled().empty());
    EXPECT_EQ(activations, 0);
}

TEST_F(DeepLinkTest, AnEmptyActivationIsAllowed) {
    FinderExtensionBridge::handle(QUrl("pendrel://duplicates"), {});
    EXPECT_EQ(pairs(posts), Pairs({{Notifications::OpenSection, "duplicates"}}));
}
