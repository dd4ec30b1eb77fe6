// The sidebar's groups and rows, the stored section order, and the version line.
#include "MainWindowTestSupport.h"

#include "platform/UserDefaults.h"
#include "shell/AppVersion.h"
#include "shell/QKFeature.h"
#include "shell/SectionOrder.h"
#include "shell/views/SidebarRow.h"
#include "shell/views/SidebarView.h"
#include "support/AccessibleAudit.h"
#include "ui-kit/QKClampedText.h"
#include "ui-kit/TextSize.h"
#include "ui-kit/Themed.h"
#include "ui-kit/ThemeSettings.h"

#include <gtest/gtest.h>
#include <QAccessible>

namespace {

QStringList rowTitles(const QWidget& content) {
    QStringList titles;
    for (SidebarRow* row : sidebarRows(content))
        titles.append(row->title());
    return titles;
}

QStringList catalogIds() {
    QStringList ids;
    for (const QKFeature& f : QKFeature::all())
        ids.append(f.id);
    return ids;
}

struct SidebarTest : ::testing::Test, ContentViewFixture {};

} // namespace

TEST_F(SidebarTest, WithoutAStoredOrderListsTheCatalogGroupByGroup) {
    EXPECT_EQ(sidebarOf(*view)->groupTitles(),
              QStringList({"PENDREL", "STORAGE INTELLIGENCE", "APPLICATION INTELLIGENCE",
                           "DEVELOPER CENTRE", "PRIVACY CENTRE", "PERFORMANCE", "AUTOMATION",
                           "REPORTS", "MORE"}));
    EXPECT_EQ(rowTitles(*view),
              QStringList({"Home", "Explain My Mac", "Pendrel Memory", "Pendrel Timeline",
                           "Storage", "Browse Storage", "Duplicates", "Apps", "Startup",
                           "Subscriptions", "Developer", "Compare", "Privacy", "Performance",
                           "Automation", "Health Report", "Tweaks", "About"}));
    EXPECT_TRUE(sidebarRow(*view, "dashboard")->isSelected());
}

TEST(SectionOrder, NamesSectionsByIdTitleOrOldTitleAndAppendsTheRest) {
    const QStringList order =
        sectionOrder(QString("folders\nDisk & Cleaner\nBrowse Storage\nmatches nothing"));
    QStringList expected = {"folders", "disk"};
    for (const QString& id : catalogIds())
        if (!expected.contains(id))
            expected.append(id);
    EXPECT_EQ(order, expected);

    // Empty lines and a line with a trailing blank name nothing.
    EXPECT_EQ(sectionOrder(QString("\n\nfolders \nduplicates\n")).first(), "duplicates");
    EXPECT_EQ(sectionOrder(QString()), catalogIds());
}

TEST_F(SidebarTest, ReadsTheStoredOrderEachTimeItIsShown) {
    view->show();
    defaults.setValue(kSidebarOrderKey, "folders\nDisk & Cleaner\nBrowse Storage\nmatches nothing");
    EXPECT_EQ(sidebarOf(*view)->order(), catalogIds()) << "read when shown, not on every change";
    view->hide();
    view->show();
    EXPECT_EQ(rowTitles(*view).mid(4, 3), QStringList({"Browse Storage", "Storage", "Duplicates"}));
    EXPECT_EQ(rowTitles(*view).first(), "Home") << "other groups keep catalog order";
    EXPECT_TRUE(sidebarRow(*view, "dashboard")->isSelected()) << "the selection survives";

    // A stored value that is not text counts as no order.
    defaults.setValue(kSidebarOrderKey, 42);
    view->hide();
    view->show();
    EXPECT_EQ(sidebarOf(*view)->order(), catalogIds());
}

TEST_F(SidebarTest, TheVersionLineNamesVersionAndBuild) {
    EXPECT_EQ(Find::part<QKClampedText>(*view, "versionLine")->text(),
              QString("Pendrel v%1 (%2)")
                  .arg(AppVersion::appVersionString(), AppVersion::appBuildString()));
    EXPECT_EQ(AppVersion::versionOrFallback(""), "0.2.0");
    EXPECT_EQ(AppVersion::buildOrFallback(""), "1");
    EXPECT_EQ(AppVersion::buildOrFallback("17"), "17");
}

TEST_F(SidebarTest, AtTheLargestTextSizeTitlesAndLinesWrapRatherThanLoseTheirEnds) {
    Themed::shared();
    UserDefaults::standard().setValue(ThemeKeys::FontSize, qint64(TextSize::Largest));
    view->show();
    QCoreApplication::processEvents();
    SidebarView* sidebar = sidebarOf(*view);
    auto* version = Find::part<QKClampedText>(sidebar, "versionLine");

    int wrapped = 0;
    for (QWidget* title : sidebar->findChildren<QWidget*>("groupTitle")) {
        EXPECT_GE(title->height(), title->heightForWidth(title->width()))
            << title->accessibleName().toStdString();
        if (title->height() > 2 * title->fontMetrics().height())
            ++wrapped;
    }
    EXPECT_GT(wrapped, 0) << "the longest group titles take two lines";

    for (QKClampedText* line : {Find::part<QKClampedText>(sidebar, "statusHeadline"), version}) {
        const QStringList shown = line->displayedLines(line->width());
        ASSERT_FALSE(shown.isEmpty());
        EXPECT_FALSE(shown.last().endsWith(QStringLiteral("…"))) << line->text().toStdString();
        EXPECT_GE(line->height(), line->heightForWidth(line->width()));
    }
    EXPECT_GT(version->displayedLines(version->width()).size(), 1);
    EXPECT_TRUE(testsupport::accessibilityProblems(sidebar).isEmpty())
        << testsupport::accessibilityProblems(sidebar).join('\n').toStdString();
    UserDefaults::standard().remove(ThemeKeys::FontSize);
}

// A reader meets each row as a tab whose one action opens its section, exactly as a click does;
// only the section on screen reads as selected, and nothing reads as a check box.
TEST_F(SidebarTest, AReaderOpensASectionAsAClickDoesAndOnlyTheCurrentRowIsSelected) {
    view->show();
    QCoreApplication::processEvents();
    const QList<SidebarRow*> rows = sidebarRows(*view);
    ASSERT_GT(rows.size(), 2);
    const auto selectedRows = [&] {
        QStringList ids;
        for (SidebarRow* row : rows) {
            const QAccessible::State state = QAccessible::queryAccessibleInterface(row)->state();
            EXPECT_FALSE(state.checkable) << row->featureId().toStdString();
            if (state.selected)
                ids.append(row->featureId());
        }
        return ids;
    };
    EXPECT_EQ(selectedRows(), QStringList({view->selectedSection()}));

    SidebarRow* other = rows.at(2);
    ASSERT_NE(other->featureId(), view->selectedSection());
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(other);
    EXPECT_EQ(read->role(), QAccessible::PageTab);
    EXPECT_EQ(read->text(QAccessible::Name), other->title());
    const QStringList actions = read->actionInterface()->actionNames();
    EXPECT_TRUE(actions.contains(QAccessibleActionInterface::pressAction()));
    EXPECT_FALSE(actions.contains(QAccessibleActionInterface::toggleAction()));
    read->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(view->selectedSection(), other->featureId());
    EXPECT_EQ(selectedRows(), QStringList({other->featureId()}));

    // A "Toggle" asked for anyway changes nothing.
    QAccessibleInterface* first = QAccessible::queryAccessibleInterface(rows.at(0));
    first->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(selectedRows(), QStringList({other->featureId()}));
}
