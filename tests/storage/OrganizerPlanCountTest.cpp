// What the organizer's screen counts of a plan on every change, without copying its moves.
#include "storage/OrganizerRecords.h"
#include "storage/OrganizerText.h"

#include <gtest/gtest.h>

TEST(OrganizerPlanCount, CountsBytesAndTheStatusLineFollowTheTicks) {
    OrganizerPlan plan;
    for (int i = 0; i < 5; ++i) {
        OrganizerMove move;
        move.id = QString::number(i);
        move.sizeBytes = 1000 * (i + 1);
        move.isEnabled = i % 2 == 0;
        plan.moves.append(move);
    }
    EXPECT_EQ(plan.selectedCount(), 3);
    EXPECT_EQ(plan.selectedCount(), plan.selectedMoves().size());
    EXPECT_EQ(plan.selectedBytes(), 1000 + 3000 + 5000);
    plan.moves[0].isEnabled = false;
    EXPECT_EQ(plan.selectedCount(), 2);
    const OrganizerText::Status status = OrganizerText::status(
        FolderOrganizer::State::of(FolderOrganizer::State::Kind::Ready), plan);
    EXPECT_TRUE(status.text.startsWith(QStringLiteral("2 moves · "))) << status.text.toStdString();
    EXPECT_EQ(OrganizerPlan().selectedCount(), 0);
}
