// The finder every widget test reaches a screen's parts with: a name stands for exactly one part,
// and a test that asks for a missing or ambiguous one fails there, saying what the name is on.
#include "support/Find.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace {

struct Screen {
    QWidget root;
    QLabel* title = new QLabel(QStringLiteral("Title"), &root);
    QWidget* box = new QWidget(&root);
    QPushButton* deep = new QPushButton(QStringLiteral("Go"), box);
    Screen() {
        title->setObjectName(QStringLiteral("title"));
        deep->setObjectName(QStringLiteral("go"));
    }
};

// The message of the one failure the finder records while f runs, and whether it threw.
template <typename F> std::string failureOf(F f) {
    testing::TestPartResultArray results;
    bool threw = false;
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        try {
            f();
        } catch (const Find::NotFound&) {
            threw = true;
        }
    }
    EXPECT_TRUE(threw);
    EXPECT_EQ(results.size(), 1);
    return results.size() == 1 ? results.GetTestPartResult(0).message() : std::string();
}

} // namespace

TEST(Find, FindsTheOneNamedPartAtAnyDepth) {
    Screen s;
    EXPECT_EQ(Find::part<QLabel>(s.root, "title"), s.title);
    EXPECT_EQ(Find::part<QPushButton>(&s.root, "go"), s.deep);
    EXPECT_EQ(Find::maybe<QLabel>(s.root, "missing"), nullptr);
}

TEST(Find, FailsOnAMissingPartSayingWhatTheNameIsOn) {
    Screen s;
    s.root.setObjectName(QStringLiteral("screen"));
    const std::string wrongType = failureOf([&] { Find::part<QLabel>(s.root, "go"); });
    EXPECT_NE(wrongType.find("no QLabel named \"go\" under QWidget \"screen\""), std::string::npos)
        << wrongType;
    EXPECT_NE(wrongType.find("the name is on: QPushButton \"go\""), std::string::npos) << wrongType;
    failureOf([&] { Find::part<QWidget>(s.root, "absent"); });
}

TEST(Find, FailsWhenANameStandsForMoreThanOnePart) {
    Screen s;
    s.box->setObjectName(QStringLiteral("go"));
    const std::string both = failureOf([&] { Find::part<QWidget>(s.root, "go"); });
    EXPECT_NE(both.find("2 parts of type QWidget named \"go\""), std::string::npos) << both;
    failureOf([&] { Find::maybe<QWidget>(s.root, "go"); });
    EXPECT_EQ(Find::parts<QWidget>(s.root, "go").size(), 2);
}
