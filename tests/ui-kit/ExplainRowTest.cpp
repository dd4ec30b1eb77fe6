#include "platform/TamsoSafety.h"
#include "platform/UserDefaults.h"
#include "support/Find.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKSymbol.h"
#include "ui-kit/TamsoExplainRow.h"
#include "ui-kit/TamsoSafetyBadge.h"
#include "ui-kit/TextSize.h"
#include "ui-kit/Themed.h"
#include "ui-kit/ThemeSettings.h"
#include "ui-kit/ToggleSwitch.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMap>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

TEST(TamsoSafetyGrades, OnlyRawValuesMakeAGrade) {
    EXPECT_EQ(fromRawValue<TamsoSafety>(QStringLiteral("checkFirst")), TamsoSafety::CheckFirst);
    EXPECT_EQ(title(TamsoSafety::CheckFirst), QStringLiteral("Caution"));
    EXPECT_EQ(TamsoSafetyBadge::colorStyle(TamsoSafety::CheckFirst), QKForeground::Orange);
    for (const char* text : {"Safe", "Caution", "checkfirst", "", "keep "})
        EXPECT_FALSE(fromRawValue<TamsoSafety>(QString::fromUtf8(text)).has_value()) << text;
    EXPECT_EQ(title(TamsoSafety::Keep), QStringLiteral("Keep these"));
}

// The check box beside an explain row's title, and a switch beside its label, grow with the text
// above the normal size and keep their size below it.
TEST(TamsoExplainRowLayout, CheckBoxesAndSwitchesGrowWithTheText) {
    Themed::shared();
    QMap<int, int> box;
    QMap<int, QSize> track;
    for (int step : {TextSize::Smallest, TextSize::Normal, TextSize::Largest}) {
        UserDefaults::standard().setValue(ThemeKeys::FontSize, qint64(step));
        TamsoExplainRow row(QStringLiteral("App caches"), QStringLiteral("2.7 GB"),
                            QStringLiteral("Temporary files."));
        row.setSelected(true);
        ToggleSwitch toggle(QStringLiteral("Show hidden files"));
        row.show();
        toggle.show();
        QApplication::processEvents();
        const QCheckBox* check = Find::part<QCheckBox>(row, "explainRowCheck");
        QStyleOptionButton option;
        option.initFrom(check);
        box[step] =
            check->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, check).height();
        track[step] = ToggleSwitch::trackSize(toggle.font());
        EXPECT_GE(toggle.height(), track[step].height()) << step;
    }
    UserDefaults::standard().remove(ThemeKeys::FontSize);
    EXPECT_EQ(box[TextSize::Smallest], box[TextSize::Normal]);
    EXPECT_GE(box[TextSize::Largest], box[TextSize::Normal] * 13 / 10);
    EXPECT_EQ(track[TextSize::Smallest], ToggleSwitch::trackSize());
    EXPECT_EQ(track[TextSize::Normal], ToggleSwitch::trackSize());
    EXPECT_GE(track[TextSize::Largest].height(), ToggleSwitch::trackSize().height() * 13 / 10);
}

TEST(TamsoExplainRowLayout, LeadingMarkAndOptionalLines) {
    TamsoExplainRow row(QStringLiteral("App caches"), QStringLiteral("2.7 GB"),
                        QStringLiteral("Temporary files."));
    row.show();
    const auto* check = Find::part<QCheckBox>(row, "explainRowCheck");
    const auto* lock = Find::part<QWidget>(row, "explainRowLock");
    const auto* badge = Find::part<TamsoSafetyBadge>(row, "explainRowBadge");
    const auto* meta = Find::part<QLabel>(row, "explainRowMeta");
    EXPECT_FALSE(check->isVisible());
    EXPECT_FALSE(lock->isVisible());
    EXPECT_FALSE(badge->isVisible());
    EXPECT_FALSE(meta->isVisible());

    row.setMeta(QString());
    EXPECT_FALSE(meta->isVisible()); // empty shows no third line
    row.setMeta(QStringLiteral("12 files"));
    EXPECT_TRUE(meta->isVisible());

    row.setSelected(true);
    EXPECT_TRUE(check->isVisible());
    row.setLocked(true); // a lock, never a checkbox
    EXPECT_TRUE(lock->isVisible());
    EXPECT_FALSE(check->isVisible());

    row.setSafety(TamsoSafety::Risky);
    EXPECT_TRUE(badge->isVisible());
    EXPECT_EQ(badge->text(), QStringLiteral("Risky"));
}

TEST(TamsoExplainRowLayout, CheckboxReportsTheSelection) {
    TamsoExplainRow row(QStringLiteral("Logs"), QStringLiteral("1 MB"), QStringLiteral("d"));
    row.setSelected(false);
    QSignalSpy spy(&row, &TamsoExplainRow::selectedChanged);
    Find::part<QCheckBox>(row, "explainRowCheck")->click();
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
    const QString shownTitle = Find::part<QKLineLabel>(row, "explainRowTitle")->displayedText();
    EXPECT_TRUE(shownTitle.endsWith(QStringLiteral("…")));
    EXPECT_LT(shownTitle.size(), longTitle.size());
    const auto* detail = Find::part<QLabel>(row, "explainRowDetail");
    EXPECT_EQ(detail->text(), longDetail);
    EXPECT_GE(detail->height(), detail->heightForWidth(detail->width()));
    EXPECT_EQ(Find::part<QKLineLabel>(row, "explainRowSize")->displayedText(),
              QStringLiteral("5 GB"));
}

} // namespace
