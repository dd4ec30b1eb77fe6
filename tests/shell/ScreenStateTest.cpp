#include "shell/ScreenState.h"

#include <gtest/gtest.h>
#include <QSignalSpy>

TEST(ScreenState, StartsEveryScreenAtItsFirstModeWithNothingChosen) {
    ScreenState s;
    EXPECT_EQ(s.diskMode(), DiskMode::Hub);
    EXPECT_EQ(s.devPane(), DevPane::Hub);
    EXPECT_EQ(s.appsPane(), AppsPane::Hub);
    EXPECT_EQ(s.folderMode(), FoldersMode::Browse);
    EXPECT_EQ(s.duplicateMode(), DuplicatesMode::Exact);
    EXPECT_EQ(s.performanceMode(), PerformanceMode::Overview);
    EXPECT_EQ(s.compareMode(), CompareMode::None);

    EXPECT_TRUE(s.diskSelected().isEmpty());
    EXPECT_TRUE(s.bigSelection().isEmpty());
    EXPECT_FALSE(s.diskResult().has_value());
    EXPECT_FALSE(s.bigResult().has_value());
    EXPECT_FALSE(s.folderSelection().has_value());
    EXPECT_FALSE(s.vaultSelection().has_value());
    EXPECT_FALSE(s.compareLeft().has_value());
    EXPECT_FALSE(s.bigOnlyOld());
    EXPECT_EQ(s.guidedStep(), 0);

    EXPECT_EQ(s.folderSidebarWidth(), 260.0);
    EXPECT_EQ(s.tamsoFindWidth(), 360.0);
    EXPECT_EQ(s.duplicateThumbSize(), 130.0);
    EXPECT_TRUE(s.uninstallSearch().isEmpty());
    EXPECT_TRUE(s.tamsoQuestion().isEmpty());
}

TEST(ScreenState, CompareSummaryStartsAtZeroWhileIdentityIsUnknown) {
    ScreenState s;
    EXPECT_EQ(s.compareSummary(), (DiffSummary{0, 0, 0}));
    EXPECT_FALSE(s.compareIdenticalBytes().has_value()); // absent, not false
    s.setCompareIdenticalBytes(false);
    ASSERT_TRUE(s.compareIdenticalBytes().has_value());
    EXPECT_FALSE(*s.compareIdenticalBytes());
    EXPECT_TRUE(s.compareRows().isEmpty());
    EXPECT_FALSE(s.compareError().has_value());
    EXPECT_FALSE(s.compareAISummary().has_value());
}

TEST(ScreenState, NotifiesOnlyRealChanges) {
    ScreenState s;
    QSignalSpy mode(&s, &ScreenState::diskModeChanged);
    QSignalSpy result(&s, &ScreenState::diskResultChanged);
    QSignalSpy rows(&s, &ScreenState::compareRowsChanged);

    s.setDiskMode(DiskMode::Hub);
    EXPECT_EQ(mode.count(), 0);
    s.setDiskMode(DiskMode::Screenshots);
    ASSERT_EQ(mode.count(), 1);
    EXPECT_EQ(mode.at(0).at(0).value<DiskMode>(), DiskMode::Screenshots);

    // An empty result line is a value, different from having none.
    s.setDiskResult(QString());
    EXPECT_EQ(result.count(), 1);
    s.setDiskResult(std::nullopt);
    EXPECT_EQ(result.count(), 2);

    DiffRow added;
    added.kind = DiffRow::Kind::Added;
    added.rightNumber = 1;
    added.rightText = QStringLiteral("new line");
    s.setCompareRows({added});
    s.setCompareRows({added});
    EXPECT_EQ(rows.count(), 1);
}

TEST(ScreenState, FieldsAreObservableProperties) {
    ScreenState s;
    const QMetaObject* meta = s.metaObject();
    EXPECT_EQ(meta->propertyCount() - meta->propertyOffset(), 39);
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        EXPECT_TRUE(meta->property(i).hasNotifySignal()) << meta->property(i).name();
        EXPECT_TRUE(meta->property(i).isWritable()) << meta->property(i).name();
    }
    s.setProperty("devPane", QVariant::fromValue(DevPane::Awake));
    EXPECT_EQ(s.devPane(), DevPane::Awake);
}

TEST(ScreenModes, RawValuesRoundTripExactly) {
    auto check = [](const auto& cases, QStringList raws) {
        ASSERT_EQ(cases.size(), raws.size());
        for (qsizetype i = 0; i < cases.size(); ++i) {
            using E = std::decay_t<decltype(cases.at(i))>;
            EXPECT_EQ(rawValue(cases.at(i)), raws.at(i));
            EXPECT_EQ(fromRawValue<E>(raws.at(i)), cases.at(i));
            EXPECT_FALSE(fromRawValue<E>(raws.at(i).toUpper()).has_value())
                << raws.at(i).toStdString();
            EXPECT_FALSE(fromRawValue<E>(raws.at(i) + QLatin1Char(' ')).has_value());
        }
    };
    check(allCases<DiskMode>(),
          {"hub", "system", "mail", "growth", "screenshots", "diskMap", "organizer"});
    check(allCases<FoldersMode>(), {"browse", "biggest"});
    check(allCases<DuplicatesMode>(), {"exact", "similar"});
    check(allCases<PerformanceMode>(), {"overview", "sensors", "fans"});
    check(allCases<CompareMode>(), {"none", "text", "image", "binary", "tooBig"});
    check(allCases<DevPane>(), {"hub", "cleanup", "models", "awake"});
    check(allCases<AppsPane>(), {"hub", "uninstall"});
    EXPECT_FALSE(fromRawValue<DiskMode>("diskmap").has_value());
    EXPECT_FALSE(fromRawValue<DiskMode>("").has_value());
}
