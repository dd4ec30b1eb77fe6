// One side of the file compare on its own: what it shows, tells a reader and offers under the
// pointer when it is too narrow for its texts.
#include "developer/views/CompareDropZone.h"
#include "support/Find.h"
#include "ui-kit/QKLineLabel.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

namespace {

// What the pointer resting on the zone's middle shows, or nothing.
QString tipOf(CompareDropZone& zone) {
    QToolTip::hideText();
    const QPoint at = zone.rect().center();
    QHelpEvent event(QEvent::ToolTip, at, zone.mapToGlobal(at));
    QApplication::sendEvent(&zone, &event);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

} // namespace

TEST(CompareDropZone, ACutNameOrFolderIsWholeInTheTooltipAndToAReader) {
    const QString folder = QStringLiteral("/home/someone/Projects/quarterly-reports/2026/drafts");
    const QString name = QStringLiteral("the-second-revision-of-the-budget-with-comments.txt");
    CompareDropZone zone(true);
    zone.setFile(QUrl::fromLocalFile(folder + QLatin1Char('/') + name));
    zone.resize(900, zone.sizeHint().height());
    zone.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&zone));
    EXPECT_EQ(tipOf(zone), QString()) << "nothing is cut, so nothing to offer";

    zone.resize(160, zone.height());
    QCoreApplication::processEvents();
    auto* shownName = Find::part<QKLineLabel>(zone, "zoneName");
    auto* shownFolder = Find::part<QKLineLabel>(zone, "zoneDetail");
    ASSERT_NE(shownName->displayedText(), name);
    ASSERT_NE(shownFolder->displayedText(), folder);
    EXPECT_EQ(tipOf(zone), name + QLatin1Char('\n') + folder);

    // Only the folder cut: only the folder offered.
    zone.setFile(QUrl::fromLocalFile(folder + QStringLiteral("/a.txt")));
    EXPECT_EQ(tipOf(zone), folder);

    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(&zone);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->text(QAccessible::Name), QStringLiteral("First file: a.txt"));
    EXPECT_EQ(reader->text(QAccessible::Description), folder);
    QToolTip::hideText();
}
