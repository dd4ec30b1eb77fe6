#include "support/Find.h"
#include "ui-kit/QKBadge.h"
#include "ui-kit/QKBusyPage.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKRule.h"
#include "ui-kit/QKScanStatePages.h"

#include <gtest/gtest.h>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>

namespace {

// The phases of a scan as its slot keeps them, in an order of their own.
enum class Kind { Failed, Done, Running, Idle };

struct PhaseCase {
    Kind kind;
    QKScanPhase phase;
};

class ScanPhase : public ::testing::TestWithParam<PhaseCase> {};

TEST_P(ScanPhase, EachKindShowsItsPage) {
    QKScanStatePages pages;
    auto* idle = new QLabel;
    auto* busy = new QKBusyPage(QStringLiteral("Scanning…"));
    auto* done = new QLabel;
    auto* failed = new QKEmptyState(QStringLiteral("Could not scan"), QString());
    pages.setPage(QKScanPhase::Idle, idle);
    pages.setPage(QKScanPhase::Busy, busy);
    pages.setPage(QKScanPhase::Done, done);
    pages.setPage(QKScanPhase::Failed, failed);
    const QKScanPhase phase = QKScanStatePages::phaseOf(GetParam().kind);
    EXPECT_EQ(phase, GetParam().phase);
    pages.showPhase(phase, QStringLiteral("The disk went away."));
    EXPECT_EQ(pages.currentWidget(), pages.page(GetParam().phase));
    EXPECT_TRUE(pages.isShowing(GetParam().phase));
}

INSTANTIATE_TEST_SUITE_P(Cases, ScanPhase,
                         ::testing::Values(PhaseCase{Kind::Idle, QKScanPhase::Idle},
                                           PhaseCase{Kind::Running, QKScanPhase::Busy},
                                           PhaseCase{Kind::Done, QKScanPhase::Done},
                                           PhaseCase{Kind::Failed, QKScanPhase::Failed}));

TEST(ScanPhase, NothingFoundOnlyEmptiesAFinishedScan) {
    EXPECT_EQ(QKScanStatePages::phaseOf(Kind::Done, true), QKScanPhase::Empty);
    EXPECT_EQ(QKScanStatePages::phaseOf(Kind::Running, true), QKScanPhase::Busy);
    EXPECT_EQ(QKScanStatePages::phaseOf(Kind::Failed, true), QKScanPhase::Failed);
    EXPECT_EQ(QKScanStatePages::phaseOf(Kind::Idle, true), QKScanPhase::Idle);
}

TEST(ScanStatePages, AFailureReachesTheEmptyStateAndAPhaseWithoutPageChangesNothing) {
    QKScanStatePages pages;
    auto* shared = new QLabel;
    auto* failed = new QKEmptyState(QStringLiteral("Could not scan"), QString());
    pages.setPage(QKScanPhase::Idle, shared);
    pages.setPage(QKScanPhase::Done, shared); // one page for two phases
    pages.setPage(QKScanPhase::Failed, failed);
    EXPECT_EQ(pages.count(), 2);

    pages.showPhase(QKScanPhase::Failed, QStringLiteral("Permission denied."));
    EXPECT_EQ(failed->message(), QStringLiteral("Permission denied."));
    pages.showPhase(QKScanPhase::Busy); // no page: the failure stays on show
    EXPECT_EQ(pages.currentWidget(), failed);
    pages.showPhase(QKScanPhase::Done);
    EXPECT_TRUE(pages.isShowing(QKScanPhase::Idle));
}

TEST(BusyPage, LinesAndPartsStackUnderTheIndicator) {
    QKBusyPage page(QStringLiteral("Reading…"), {.indicator = QKBusyLook::Indicator::Bar});
    EXPECT_NE(qobject_cast<QProgressBar*>(Find::part<QWidget>(page, "busyIndicator")), nullptr);
    QLabel* more =
        page.addLine(QStringLiteral("3 of 9"), TextStyle::Caption, QKForeground::Secondary);
    page.resize(400, 300);
    page.show();
    EXPECT_LT(Find::part<QWidget>(page, "busyIndicator")->geometry().bottom(),
              page.line()->geometry().top());
    EXPECT_LT(page.line()->geometry().bottom(), more->geometry().top());
    // Centred: as much room above the indicator as under the last line.
    EXPECT_NEAR(Find::part<QWidget>(page, "busyIndicator")->geometry().top(),
                page.height() - more->geometry().bottom(), 2);
    page.setText(QStringLiteral("Still reading…"));
    EXPECT_EQ(page.line()->text(), QStringLiteral("Still reading…"));
}

TEST(BusyPage, BesideAtTheTopTheIndicatorLeadsTheLineUnderTheMargin) {
    QKBusyPage page(QStringLiteral("Searching…"),
                    {.beside = true, .top = true, .margins = QMargins(0, 8, 0, 8)});
    page.resize(400, 300);
    page.show();
    const QRect indicator = Find::part<QWidget>(page, "busyIndicator")->geometry();
    const QRect line = page.line()->geometry();
    EXPECT_LT(indicator.right(), line.left());
    EXPECT_EQ(indicator.top(), 8);
    EXPECT_EQ(line.top(), 8);
    // The pair is centred across the page.
    EXPECT_NEAR(indicator.left(), page.width() - 1 - line.right(), 2);
}

TEST(BusyPage, TheReadingPageIsABarOverItsLine) {
    QKBusyPage* page = QKBusyPage::reading(QStringLiteral("Reading…"), nullptr);
    EXPECT_NE(qobject_cast<QProgressBar*>(Find::part<QWidget>(*page, "busyIndicator")), nullptr);
    EXPECT_EQ(page->line()->objectName(), QStringLiteral("readingText"));
    delete page;
}

TEST(Badge, SizeFollowsTheTextAndThePadding) {
    QKBadge badge(QStringLiteral("Safe"), QKForeground::Green, {.padding = QSize(6, 2)});
    const QFontMetrics fm(badge.font());
    EXPECT_EQ(badge.sizeHint(), QSize(fm.horizontalAdvance("Safe") + 12, fm.height() + 4));
    badge.set(QStringLiteral("Check first"), QKForeground::Orange);
    EXPECT_EQ(badge.sizeHint().width(), fm.horizontalAdvance("Check first") + 12);
    EXPECT_EQ(badge.accessibleName(), QStringLiteral("Check first"));
    EXPECT_EQ(badge.tone(), QKForeground::Orange);
}

TEST(Rule, AVerticalRuleIsOnePointWideAndTakesItsInkFromThePalette) {
    QKRule rule(Qt::Vertical, nullptr, 0.10, QKRule::Ink::WindowText);
    EXPECT_EQ(rule.minimumWidth(), 1);
    EXPECT_EQ(rule.maximumWidth(), 1);
    EXPECT_EQ(rule.sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
    QPalette palette;
    palette.setColor(QPalette::WindowText, Qt::red);
    rule.setPalette(palette);
    EXPECT_EQ(rule.inkColor().red(), 255);
    EXPECT_NEAR(rule.inkColor().alphaF(), 0.10, 0.01);
    EXPECT_EQ(QKRule(Qt::Horizontal, QColor(Qt::blue)).inkColor(), QColor(Qt::blue));
}

} // namespace
