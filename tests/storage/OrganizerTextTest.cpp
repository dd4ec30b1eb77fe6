#include "storage/OrganizerText.h"

#include <gtest/gtest.h>

using State = FolderOrganizer::State;
using Look = OrganizerText::Status::Look;

namespace {

OrganizerPlan planOf(std::initializer_list<std::pair<qint64, bool>> moves) {
    OrganizerPlan plan;
    int i = 0;
    for (const auto& [size, on] : moves) {
        const QString path = QStringLiteral("/h/Downloads/f%1").arg(i++);
        plan.moves.append({path, path, path + "x", "f", size, "r", on});
    }
    return plan;
}

} // namespace

TEST(OrganizerText, StatusLineByState) {
    const std::optional<OrganizerPlan> plan = planOf({{2000, true}, {500, false}, {1000, true}});
    struct Row {
        State state;
        std::optional<OrganizerPlan> plan;
        OrganizerText::Status expected;
    };
    const QList<Row> rows = {
        {State(), plan, {}},
        {State::of(State::Kind::Planning), plan, {}},
        {State::of(State::Kind::Ready), plan, {Look::Plain, "2 moves · 3 KB"}},
        {State::of(State::Kind::Ready), std::nullopt, {}},
        {State::running(3, 9), plan, {Look::Progress, "Moving 3 of 9…"}},
        {State::undoing(0, 4), plan, {Look::Progress, "Undoing 0 of 4…"}},
        {State::finished(5, 0), plan, {Look::Green, "Done. Moved 5 items."}},
        {State::finished(5, 2), plan, {Look::Orange, "Moved 5. 2 needed attention."}},
        {State::undone(5, 0), plan, {Look::Green, "Done. Moved 5 items."}},
        {State::undone(21, 2),
         plan,
         {Look::Orange, "Moved back 21 of 23 items. 2 could not be moved back."}},
        {State::failure("Nothing matched the current rules."),
         plan,
         {Look::Orange, "Nothing matched the current rules."}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(OrganizerText::status(r.state, r.plan), r.expected)
            << r.expected.text.toStdString();
}

TEST(OrganizerText, ButtonsByState) {
    const std::optional<OrganizerPlan> ticked = planOf({{1, true}});
    const std::optional<OrganizerPlan> unticked = planOf({{1, false}});
    for (const State& busy : {State::running(0, 1), State::undoing(0, 1)}) {
        EXPECT_FALSE(OrganizerText::previewEnabled(busy));
        EXPECT_FALSE(OrganizerText::applyEnabled(busy, ticked));
        EXPECT_FALSE(OrganizerText::undoEnabled(busy));
    }
    const State planning = State::of(State::Kind::Planning);
    EXPECT_FALSE(OrganizerText::previewEnabled(planning));
    EXPECT_FALSE(OrganizerText::applyEnabled(planning, ticked)); // a new plan is on its way
    EXPECT_TRUE(OrganizerText::undoEnabled(planning));
    for (const State& calm :
         {State(), State::of(State::Kind::Ready), State::finished(1, 0), State::failure("x")}) {
        EXPECT_TRUE(OrganizerText::previewEnabled(calm));
        EXPECT_TRUE(OrganizerText::applyEnabled(calm, ticked));
        EXPECT_FALSE(OrganizerText::applyEnabled(calm, unticked));
        EXPECT_FALSE(OrganizerText::applyEnabled(calm, std::nullopt));
        std::optional<OrganizerPlan> spent = ticked;
        spent->spent = true;
        EXPECT_FALSE(OrganizerText::applyEnabled(calm, spent));
    }
}

TEST(OrganizerText, RunsAndCounts) {
    OrganizerJournal done, empty, undone;
    done.id = "a";
    done.completed = {OrganizerCompletedMove{"/h/a", "/h/b", {}}};
    empty.id = "b";
    undone = done;
    undone.id = "c";
    undone.undoneAt = 1.0;
    const QList<OrganizerJournal> runs = OrganizerText::undoableRuns({done, empty, undone});
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs.first().id, "a");

    const QDateTime when(QDate(2026, 3, 8), QTime(15, 45, 10), Qt::UTC);
    EXPECT_EQ(OrganizerText::runLine(3, when, QLocale(QLocale::English, QLocale::UnitedStates),
                                     QTimeZone::utc()),
              "3 moves · Mar 8, 2026 at 3:45 PM");
    EXPECT_EQ(OrganizerText::stepperLabel(7), "Leave files changed in the last 7 days");
    EXPECT_EQ(OrganizerText::selectedCount(0), "0 selected");
    EXPECT_EQ(OrganizerText::leftAlone(2), "2 left alone");
    EXPECT_EQ(OrganizerText::nameFrom("report.pdf", "Desktop"), "report.pdf · from Desktop");
    EXPECT_EQ(OrganizerText::rowDescription("Move into Images/ by file type.", "a 2.png", 4096),
              "Move into Images/ by file type. New name: a 2.png. 4 KB.");
}
