#include "automation/AutomationTestSupport.h"

#include <gtest/gtest.h>
#include <QJsonDocument>

using namespace automationtest;

namespace {

QJsonValue parse(const char* json) {
    return QJsonDocument::fromJson(QByteArray(json)).object().value("v");
}

QJsonObject stored(const World& w) {
    return w.defaults.value(AutomationRuleStates::defaultsKey()).toObject();
}

} // namespace

TEST(AutomationState, TheTableHasFiveRulesInOrderWithUniqueIds) {
    QStringList ids;
    for (const AutomationRule& r : AutomationRule::all())
        ids << r.id;
    EXPECT_EQ(ids, QStringList({"friday-downloads", "sunday-dev", "disk-alert", "weekly-docker",
                                "friday-screenshots"}));
    EXPECT_EQ(rawValue(AutomationRule::Kind::WeeklyDocker), "weeklyDocker");
    EXPECT_EQ(fromRawValue<AutomationRule::Kind>("diskAlert"), AutomationRule::Kind::DiskAlert);
    EXPECT_EQ(AutomationRule::lookup("nope"), nullptr);
}

TEST(AutomationState, FirstStartHasFiveRulesSwitchedOffAndNeverRun) {
    World w;
    AutomationStore store(w.environment());
    ASSERT_EQ(store.states().size(), 5);
    const AutomationRuleState neverRun;
    for (const AutomationRule& r : AutomationRule::all()) {
        const auto state = store.states().constFind(r.id);
        ASSERT_NE(state, store.states().constEnd()) << r.id.toStdString();
        EXPECT_EQ(*state, neverRun) << r.id.toStdString();
    }
    EXPECT_FALSE(w.defaults.contains(AutomationRuleStates::defaultsKey()))
        << "loading writes nothing";
    EXPECT_FALSE(store.statusMessage());
    EXPECT_FALSE(store.isRunning());
}

TEST(AutomationState, StoredEntriesAreTakenOverAndUnknownIdsDropAtTheNextSave) {
    World w;
    w.defaults.setValue(AutomationRuleStates::defaultsKey(),
                        parse(R"({"v": {"disk-alert": {"enabled": true, "lastRun": 796000000.25,
                                 "lastResult": "Disk is 91% full", "lastRunDay": "2026-03-26"},
                                 "old-rule": {"enabled": true}}})"));
    AutomationStore store(w.environment());
    ASSERT_EQ(store.states().size(), 5);
    EXPECT_FALSE(store.states().contains("old-rule"));
    const AutomationRuleState alert = store.state("disk-alert");
    EXPECT_TRUE(alert.enabled);
    EXPECT_EQ(alert.lastRun, 796000000.25);
    EXPECT_EQ(alert.lastResult, "Disk is 91% full");
    EXPECT_EQ(alert.lastRunDay, "2026-03-26");
    EXPECT_EQ(store.state("sunday-dev"), AutomationRuleState());

    store.setEnabled(true, "weekly-docker");
    const QJsonObject saved = stored(w);
    EXPECT_FALSE(saved.contains("old-rule"));
    EXPECT_EQ(saved.size(), 5);
    EXPECT_EQ(saved.value("disk-alert").toObject().value("lastRun").toDouble(), 796000000.25);

    AutomationStore again(w.environment());
    EXPECT_EQ(again.states(), store.states());
}

TEST(AutomationState, OneBadEntryRejectsTheWholeValueWhichStaysUntilTheNextSave) {
    World w;
    const QJsonValue value =
        parse(R"({"v": {"disk-alert": {"enabled": true}, "sunday-dev": {"lastRunDay": "x"}}})");
    w.defaults.setValue(AutomationRuleStates::defaultsKey(), value);
    AutomationStore store(w.environment());
    for (const AutomationRule& r : AutomationRule::all())
        EXPECT_FALSE(store.state(r.id).enabled);
    EXPECT_EQ(w.defaults.value(AutomationRuleStates::defaultsKey()), value);
    store.save();
    EXPECT_EQ(stored(w).size(), 5);
}

TEST(AutomationState, DecodingAcceptsExactlyOneFormPerField) {
    const struct {
        const char* json;
        bool accepted;
    } cases[] = {
        {R"({"v": {}})", true},
        {R"({"v": {"a": {"enabled": false, "extra": [1]}}})", true},
        {R"({"v": {"a": {"enabled": true, "lastRun": null, "lastResult": null}}})", true},
        {R"({"v": {"a": {"enabled": true, "lastRun": -5}}})", true},
        {R"({"v": []})", false},
        {R"({"v": "{}"})", false},
        {R"({"v": {"a": 1}})", false},
        {R"({"v": {"a": {"enabled": 1}}})", false},
        {R"({"v": {"a": {"enabled": "true"}}})", false},
        {R"({"v": {"a": {"enabled": true, "lastRun": "2026-03-27"}}})", false},
        {R"({"v": {"a": {"enabled": true, "lastResult": 3}}})", false},
        {R"({"v": {"a": {"enabled": true, "lastRunDay": false}}})", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AutomationRuleStates::decode(parse(c.json)).has_value(), c.accepted) << c.json;
    EXPECT_FALSE(AutomationRuleStates::decode(QJsonValue()).has_value());
}

TEST(AutomationState, OnlyPresentFieldsAreWrittenAndTheyReadBackUnchanged) {
    AutomationRuleState bare;
    bare.enabled = true;
    EXPECT_EQ(bare.toJson(), QJsonObject({{"enabled", true}}));

    AutomationRuleState full;
    full.lastRun = 796216831.5;
    full.lastResult = QStringLiteral("Moved 1.2 GB (3 files) to Trash.");
    full.lastRunDay = QStringLiteral("2026-03-27");
    const QJsonObject json = full.toJson();
    EXPECT_EQ(json.keys(), QStringList({"enabled", "lastResult", "lastRun", "lastRunDay"}));
    EXPECT_TRUE(json.value("lastRun").isDouble());
    EXPECT_EQ(AutomationRuleState::fromJson(json), full);

    // A result that left its job undone keeps its flag; a flag of another type reads as no
    // problem rather than losing the rule's state.
    full.lastResultIsProblem = true;
    EXPECT_EQ(full.toJson().value("lastResultIsProblem"), QJsonValue(true));
    EXPECT_EQ(AutomationRuleState::fromJson(full.toJson()), full);
    QJsonObject odd = json;
    odd.insert("lastResultIsProblem", "yes");
    const std::optional<AutomationRuleState> read = AutomationRuleState::fromJson(odd);
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->lastResultIsProblem);
}
