// The performance screen: its progress until the first sample, the mode picker and links, the
// questions it asks and the overview following each snapshot in place.
#include "vitals/views/PerformanceViewTestSupport.h"

using namespace perfviewtest;

TEST_F(PerformanceViewTest, ProgressUntilTheFirstSampleWhateverTheMode) {
    auto view = makeView();
    EXPECT_TRUE(view->showsProgress());
    screen.setPerformanceMode(PerformanceMode::Fans);
    EXPECT_TRUE(view->showsProgress());
    EXPECT_EQ(picker(*view)->currentIndex(), 2);

    publish(SystemSnapshot());
    EXPECT_FALSE(view->showsProgress());
    EXPECT_TRUE(Find::showing(*view, "performanceFans"));
}

TEST_F(PerformanceViewTest, PickerAndLinksWriteTheModeAndARebuiltScreenShowsIt) {
    publish(SystemSnapshot());
    auto view = makeView();
    EXPECT_TRUE(Find::showing(*view, "performanceOverview"));
    EXPECT_EQ(picker(*view)->labels(), QStringList({"Overview", "Sensors", "Fans"}));
    // Assistive technology reads the group by the screen's name, not as an unnamed panel.
    QAccessibleInterface* group = QAccessible::queryAccessibleInterface(picker(*view));
    ASSERT_TRUE(group);
    EXPECT_EQ(group->text(QAccessible::Name), "Performance");

    SegmentedControl* modes = picker(*view);
    QTest::mouseClick(modes, Qt::LeftButton, {}, modes->segmentRect(1).center());
    EXPECT_EQ(screen.performanceMode(), PerformanceMode::Sensors);
    EXPECT_TRUE(Find::showing(*view, "performanceSensors"));

    screen.setPerformanceMode(PerformanceMode::Overview);
    Find::part<QPushButton>(overview(*view), "temperatureOpenFans")->click();
    EXPECT_EQ(screen.performanceMode(), PerformanceMode::Fans);
    EXPECT_TRUE(Find::showing(*view, "performanceFans"));

    // Leaving the section drops the screen; coming back builds a new one on the stored mode.
    view.reset();
    auto again = makeView();
    EXPECT_TRUE(Find::showing(*again, "performanceFans"));
    EXPECT_EQ(picker(*again)->currentIndex(), 2);
    Find::part<QPushButton>(overview(*again), "temperatureOpenSensors")->click();
    EXPECT_TRUE(Find::showing(*again, "performanceSensors"));
}

TEST_F(PerformanceViewTest, AskButtonsPostTheExactQuestions) {
    publish(SystemSnapshot());
    auto view = makeView();
    QStringList asked;
    QObject context;
    NotificationCenter::defaultCenter().observe(Notifications::AskTamso, &context,
                                                [&](const QString& q) { asked << q; });
    Find::part<QPushButton>(overview(*view), "askWhy")->click();
    Find::part<QPushButton>(overview(*view), "askHeat")->click();
    Find::part<QPushButton>(sensors(*view), "askHeat")->click();
    Find::part<QPushButton>(fans(*view), "askFans")->click();
    EXPECT_EQ(asked, QStringList({"Why is my Mac slow?", "Why is my Mac running hot?",
                                  "Why is my Mac running hot?", "Why are my fans loud?"}));
}

TEST_F(PerformanceViewTest, OverviewFollowsEachSnapshotInPlace) {
    SystemSnapshot hot = withCpu(91.4);
    hot.memTotalBytes = 1000;
    hot.memUsedBytes = 950;
    hot.diskTotalBytes = 1000;
    hot.diskFreeBytes = 50;
    hot.batteryPercent = 19;
    hot.thermal.pressure = P::Serious;
    hot.topCPUProcesses = {cpuRow("a", 90), cpuRow("b", 80), cpuRow("c", 70),
                           cpuRow("d", 60), cpuRow("e", 50), cpuRow("f", 40)};
    for (int i = 0; i < 7; ++i)
        hot.topProcesses.append(memoryRow(QString("m%1").arg(i), quint64(7 - i) * 1000));
    publish(hot);
    auto view = makeView();
    PerformanceOverviewPage* page = overview(*view);
    const QWidget* cpu = Find::part<QWidget>(page, "cpuTile");
    const QWidget* battery = Find::part<QWidget>(page, "batteryTile");
    const QWidget* heat = Find::part<QWidget>(page, "temperatureCard");
    const QWidget* advice = Find::part<QLabel>(heat, "temperatureAdvice");
    const QWidget* impactBox = Find::part<QWidget>(page, "impactBox");

    QKLineLabel* cpuValue = value(cpu);
    EXPECT_EQ(cpuValue->text(), "91%");
    EXPECT_EQ(badge(cpu)->text(), "High");
    EXPECT_EQ(badge(Find::part<QWidget>(page, "memoryTile"))->text(), "High");
    EXPECT_EQ(value(Find::part<QWidget>(page, "storageTile"))->text(), "95% full");
    EXPECT_EQ(badge(battery)->text(), "High");
    EXPECT_EQ(Find::part<PerformanceBadge>(heat, "temperatureBadge")->text(), "High");
    EXPECT_TRUE(shown(advice, page));
    EXPECT_TRUE(shown(battery, page));
    const auto* impact = Find::part<PerformanceImpactList>(page, "impactList");
    EXPECT_EQ(visibleRowNames(impact, "impactCpuRow"),
              QStringList({"a 90%", "b 80%", "c 70%", "d 60%"}));
    EXPECT_EQ(visibleRowNames(impact, "impactMemoryRow").size(), 5);
    EXPECT_TRUE(shown(Find::part<QWidget>(impact, "impactDivider"), page));

    SystemSnapshot calm = withCpu(12);
    calm.topCPUProcesses = {cpuRow("x", 9)};
    calm.thermal.pressure = P::Fair;
    publish(calm);
    EXPECT_EQ(value(cpu), cpuValue); // the same label, new text
    EXPECT_EQ(cpuValue->text(), "12%");
    EXPECT_EQ(Find::part<QLabel>(cpu, "metricDetail")->text(),
              "Load is low. Nothing is demanding much from the processor.");
    EXPECT_EQ(Find::part<PerformanceBadge>(heat, "temperatureBadge")->text(), "Elevated");
    EXPECT_FALSE(shown(advice, page));
    EXPECT_FALSE(shown(battery, page));
    EXPECT_TRUE(shown(impactBox, page));
    EXPECT_TRUE(shown(Find::part<QWidget>(impact, "impactCpuHeading"), page));
    EXPECT_FALSE(shown(Find::part<QWidget>(impact, "impactDivider"), page));
    EXPECT_FALSE(shown(Find::part<QWidget>(impact, "impactMemoryHeading"), page));

    publish(withCpu(3));
    EXPECT_FALSE(shown(impactBox, page));
}

// "Open Sensors" pressed from the keyboard replaces the page it stands on; the focus goes with it
// to the new page, never to a control of the page that went (the overview's question strip).
TEST_F(PerformanceViewTest, OpenSensorsFromTheKeyboardTakesTheFocusToTheSensorsPage) {
    publish(SystemSnapshot());
    auto view = makeView();
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    PerformanceOverviewPage* page = overview(*view);
    auto* open = Find::part<QPushButton>(page, "temperatureOpenSensors");
    open->setFocus(Qt::TabFocusReason);
    QTest::keyClick(open, Qt::Key_Return);
    ASSERT_TRUE(Find::showing(*view, "performanceSensors"));
    QWidget* focused = QApplication::focusWidget();
    ASSERT_TRUE(focused);
    PerformanceSensorsPage* sensorsPage = sensors(*view);
    EXPECT_TRUE(focused == sensorsPage || sensorsPage->isAncestorOf(focused))
        << focused->metaObject()->className() << " " << focused->objectName().toStdString();
    EXPECT_FALSE(page->isAncestorOf(focused) && page->isVisible());
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(focused);
    ASSERT_TRUE(reader);
    EXPECT_TRUE(reader->state().focused);
}
