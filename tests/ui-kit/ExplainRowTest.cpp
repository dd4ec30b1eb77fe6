#include "platform/TamsoSafety.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKSymbol.h"
#include "ui-kit/TamsoExplainRow.h"
#include "ui-kit/TamsoSafetyBadge.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>

namespace {

TEST(TamsoSafetyGrades, OnlyRawValuesMakeAGrade) {
    EXPECT_EQ(fromRawValue<TamsoSafety>(QStringLiteral("checkFirst")), TamsoSafety::CheckFirst);
    EXPECT_EQ(title(TamsoSafety::CheckFirst), QStringLiteral("Caution"));
    EXPECT_EQ(TamsoSafetyBadge::colorStyle(TamsoSafety::CheckFirst), QKForeground::Orange);
    for (const char* text : {"Safe", "Caution", "checkfirst", "", "keep "})
        EXPECT_FALSE(fromRawValue<TamsoSafety>(QString::fromUtf8(text)).has_value()) << text;
    EXPECT_EQ(title(TamsoSafety::Keep), QStringLiteral("Keep these"));
}

TEST(TamsoExplainRowLayout, LeadingMarkAndOptionalLines) {
    TamsoExplainRow row(QStringLiteral("App caches"), QStringLiteral("2.7 GB"),
                        QStringLiteral("Temporary files."));
    row.show();
    EXPECT_FALSE(row.checkBox()->isVisible());
    EXPECT_FALSE(row.lockSymbol()->isVisible());
    EXPECT_FALSE(row.badge()->isVisible());
    EXPECT_FALSE(row.metaLabel()->isVisible());

    row.setMeta(QString());
    EXPECT_FALSE(row.metaLabel()->isVisible()); // empty shows no third line
    row.setMeta(QStringLiteral("12 files"));
    EXPECT_TRUE(row.metaLabel()->isVisible());

    row.setSelected(true);
    EXPECT_TRUE(row.checkBox()->isVisible());
    row.setLocked(true); // a lock, never a checkbox
    EXPECT_TRUE(row.lockSymbol()->isVisible());
    EXPECT_FALSE(row.checkBox()->isVisible());

    row.setSafety(TamsoSafety::Risky);
    EXPECT_TRUE(row.badge()->isVisible());
    EXPECT_EQ(row.badge()->text(), QStringLiteral("Risky"));
}

TEST(TamsoExplainRowLayout, CheckboxReportsTheSelection) {
    TamsoExplainRow row(QStringLiteral("Logs"), QStringLiteral("1 MB"), QStringLiteral("d"));
    row.setSelected(false);
    QSignalSpy spy(&row, &TamsoExplainRow::selectedChanged);
    row.checkBox()->click();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_TRUE(spy.at(0).at(0).toBool());
    EXPECT_EQ(row.selected(), true);
}

TEST(TamsoExplainRowLayout, LongTitleIsCutToOneLineAndDetailWrapsInFull) {
    const QString longTitle = QStringLiteral("A very long category title ").repeated(6);
    const QString longDetail = QStringLiteral("A description that goes on. ").repeated(12);
    TamsoExplainRow row(longTitle, QStringLiteral("5 GB"), longDetail);
    row.resize(360, 200);
    row.show();
    row.resize(360, row.heightForWidth(360));
    EXPECT_TRUE(row.titleLabel()->displayedText().endsWith(QStringLiteral("…")));
    EXPECT_LT(row.titleLabel()->displayedText().size(), longTitle.size());
    EXPECT_EQ(row.detailLabel()->text(), longDetail);
    EXPECT_GE(row.detailLabel()->height(),
              row.detailLabel()->heightForWidth(row.detailLabel()->width()));
    EXPECT_EQ(row.sizeLabel()->displayedText(), QStringLiteral("5 GB"));
}

} // namespace
