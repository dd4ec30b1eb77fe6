#include "shell/QKFeature.h"

#include <gtest/gtest.h>

TEST(TriggerMatch, WordPhrasesMatchOnlyAsWholeWords) {
    const struct {
        const char* question;
        const char* trigger;
        bool matches;
    } rows[] = {
        {"why is it so slow today", "slow", true},
        {"slow", "slow", true},
        {"Slow!", "slow", true},
        {"it is slow.", "slow", true},
        {"it starts slowly", "slow", false},
        {"much slower now", "slow", false},
        {"éslow", "slow", false}, // a letter outside ASCII is a word character
        {"slowé", "slow", false},
        {"slow\u0301", "slow", false}, // so is a combining mark
        {"ñslow", "slow", false},
        {"my_slow mac", "slow", false}, // the underscore joins words
        {"2slow", "slow", false},
        {"'slow'", "slow", true}, // the apostrophe does not
        {"slow-ish", "slow", true},
        {"pnpm install", "npm", false},
        {"npm install", "npm", true},
        {"the heater is on", "heat", false},
        {"the HEAT is on", "heat", true},
        {"caffeinate -d", "caffeinate", true},
        {"ÜBER slow", "über", true}, // full lower-casing on both sides
    };
    for (const auto& row : rows)
        EXPECT_EQ(QKFeature::matchesTrigger(QString::fromUtf8(row.question),
                                            QString::fromUtf8(row.trigger)),
                  row.matches)
            << row.question << " / " << row.trigger;
}

TEST(TriggerMatch, OtherPhrasesMatchAsSubstrings) {
    const struct {
        const char* question;
        const char* trigger;
        bool matches;
    } rows[] = {
        {"need more disk space", "disk space", true},
        {"mydisk spacey", "disk space", true},
        {"delete node_modules please", "node_modules", true},
        {"old mynode_modulesx", "node_modules", true},
        {"what are backup.bak files", ".bak", true},
        {"file.baks", ".bak", true},
        {"DON'T SLEEP now", "don't sleep", true},
        {"dont sleep", "don't sleep", false},
        {"free-up", "free up", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(QKFeature::matchesTrigger(QString::fromUtf8(row.question),
                                            QString::fromUtf8(row.trigger)),
                  row.matches)
            << row.question << " / " << row.trigger;
}

TEST(BestMatch, RoutesToTheLongestMatchingPhrase) {
    const struct {
        const char* question;
        const char* feature; // null: no match
    } rows[] = {
        {"why is my mac hot", "performance"},  // 17 characters beat "mac is hot"
        {"Why Is My Mac Hot?", "performance"}, // capitals change nothing
        {"my mac is slow", "dashboard"},
        {"my mac is getting slower", nullptr},
        {"it slowly crawls", nullptr},
        {"memory pressure is high", "dashboard"}, // equal length: the earlier record wins
        {"clear the pnpm cache", "devclean"},
        {"what is pnpm", "devclean"},
        {"my space heater", nullptr},
        {"what is taking up my disk space", "folders"}, // 17 characters beat 10
        {"show my duplicate photos", "duplicates"},
        {"", nullptr},
        {"about", nullptr},              // "about" has no phrases
        {"why is my mac slow", "tamso"}, // 18 characters beat "slow"
        {"how much ram and memory pressure", "dashboard"},
        {"store a password in the vault", "vault"},
    };
    for (const auto& row : rows) {
        const QKFeature* f = QKFeature::bestMatch(QString::fromUtf8(row.question));
        if (row.feature) {
            ASSERT_NE(f, nullptr) << row.question;
            EXPECT_EQ(f->id, QLatin1String(row.feature)) << row.question;
        } else {
            EXPECT_EQ(f, nullptr) << row.question << " -> " << (f ? f->id.toStdString() : "");
        }
    }
}

TEST(BestMatch, OnlyRecordsWithSomethingToSayTakePart) {
    for (const QKFeature& f : QKFeature::all()) {
        EXPECT_EQ(f.takesPartInRouting(),
                  !f.triggers.isEmpty() && (f.hasReply() || !f.blurb.isEmpty()))
            << f.id.toStdString();
    }
    QKFeature silent;
    silent.triggers = {"slow"};
    EXPECT_FALSE(silent.takesPartInRouting());
    silent.blurb = QStringLiteral("Something.");
    EXPECT_TRUE(silent.takesPartInRouting());
}
