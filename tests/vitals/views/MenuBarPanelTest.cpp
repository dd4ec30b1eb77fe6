// The menu-bar panel's actions: freeing memory, refreshing, keep-awake and its refusal, opening
// the windows, and what assistive technology reads and presses.
#include "vitals/views/MenuBarPanelTestSupport.h"

using namespace panelviewtest;

TEST_F(PanelTest, FreeMemoryIsHeldWhileItRunsThenReportsWhatItRecovered) {
    publish();
    MenuBarButton* free = button("freeMemoryButton");
    EXPECT_EQ(free->text(), "Free up memory");
    EXPECT_EQ(free->symbol(), "arrow.3.trianglepath");
    EXPECT_FALSE(shown("freedResult"));

    freedGain = 500'000'000;
    sampler->holdRelieve = true;
    QTest::mouseClick(free, Qt::LeftButton);
    ASSERT_TRUE(app->isFreeingMemory());
    EXPECT_FALSE(free->isEnabled());
    EXPECT_TRUE(free->isBusy());
    EXPECT_EQ(free->text(), "Freeing memory…");
    // A click on the held button reaches nothing.
    QTest::mouseClick(free, Qt::LeftButton);

    sampler->gate.release();
    ASSERT_TRUE(waitFor([&] { return free->isEnabled(); }));
    EXPECT_FALSE(free->isBusy());
    EXPECT_EQ(sampler->relieves, 1);
    EXPECT_EQ(free->text(), "Free up memory");
    ASSERT_TRUE(shown("freedResult"));
    EXPECT_EQ(text("freedResult"), "Recovered " + formatBytes(500'000'000));
    EXPECT_EQ(colorOf(child<QLabel>("freedResult")), tone(QKForeground::Green));
    // The run's own sample is shown at once.
    EXPECT_EQ(child<QKLineLabel>("breakdownValue5")->text(), formatBytes(1'500'000'000));

    // A second run gains nothing: the result line goes while it runs, then says so.
    QTest::mouseClick(free, Qt::LeftButton);
    EXPECT_FALSE(shown("freedResult"));
    sampler->gate.release();
    ASSERT_TRUE(waitFor([&] { return free->isEnabled(); }));
    EXPECT_EQ(text("freedResult"), "Already tidy — little to recover");
    EXPECT_EQ(colorOf(child<QLabel>("freedResult")), tone(QKForeground::Secondary));
}

TEST_F(PanelTest, FreeMemoryPressedFromTheKeyboardKeepsTheFocusWhileItFrees) {
    publish();
    panel->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel.get()));
    MenuBarButton* free = button("freeMemoryButton");
    sampler->holdRelieve = true;
    free->setFocus(Qt::TabFocusReason);
    QTest::keyClick(free, Qt::Key_Space);
    ASSERT_TRUE(app->isFreeingMemory());
    // Not on the next button ("Refresh" or "Keep awake"), which Space would press next.
    EXPECT_EQ(QApplication::focusWidget(), panel.get());
    sampler->gate.release();
    ASSERT_TRUE(waitFor([&] { return free->isEnabled(); }));
    EXPECT_EQ(QApplication::focusWidget(), free);
}

TEST_F(PanelTest, RefreshPublishesANewSampleAndThePanelFollowsIt) {
    publish();
    const qsizetype before = app->memoryHistory().size();
    const int samples = sampler->samples;
    auto* refresh = button("refreshButton");
    auto* memory = child<MenuBarMetricRow>("memoryMetric");
    auto* disk = child<MenuBarMetricRow>("diskMetric");
    EXPECT_EQ(memory->value(), formatBytes(4 * GB));
    EXPECT_EQ(memory->subtitle(), "of " + formatBytes(16 * GB));
    EXPECT_EQ(disk->value(), formatBytes(120 * GB));
    EXPECT_EQ(disk->subtitle(), "free");

    SystemSnapshot changed = base();
    changed.memCachedBytes = 5 * GB;
    changed.memBuffCacheBytes = 7 * GB;
    changed.diskFreeBytes = 90 * GB;
    {
        std::lock_guard lock(nextLock);
        next = changed;
    }
    for (int press = 1; press <= 3; ++press) {
        QTest::mouseClick(refresh, Qt::LeftButton);
        ASSERT_TRUE(waitFor([&] { return app->memoryHistory().size() == before + press; }));
    }
    EXPECT_EQ(sampler->samples, samples + 3);
    EXPECT_EQ(memory->value(), formatBytes(6 * GB));
    EXPECT_EQ(disk->value(), formatBytes(90 * GB));
    EXPECT_EQ(child<Sparkline>("memoryHistory")->values(), app->memoryHistory());
    EXPECT_EQ(child<Sparkline>("diskHistory")->values(), app->diskUsedHistory());

    // The breakdown, in its fixed order, with the available row first.
    const QStringList labels = {"Available", "App memory", "Compressed", "Wired", "Cache", "Free"};
    for (int i = 0; i < labels.size(); ++i) {
        const QByteArray name = "breakdownLabel" + QByteArray::number(i);
        EXPECT_EQ(child<QKLineLabel>(name.constData())->text(), labels[i]);
    }
    EXPECT_EQ(child<QKLineLabel>("breakdownValue0")->text(), formatBytes(6 * GB));
    EXPECT_EQ(child<QKLineLabel>("breakdownValue4")->text(), formatBytes(7 * GB)); // buff/cache
}

TEST_F(PanelTest, KeepAwakeSwitchReachesTheManagerAndTheStatusFollowsIt) {
    MenuBarButton* toggle = button("keepAwakeButton");
    EXPECT_EQ(toggle->text(), "Keep Mac awake");
    EXPECT_EQ(toggle->symbol(), "cup.and.saucer.fill");
    EXPECT_FALSE(shown("keepAwakeStatus"));
    const int heightOff = panel->height();

    QTest::mouseClick(toggle, Qt::LeftButton);
    ASSERT_TRUE(keepAwake->isActive());
    EXPECT_EQ(fake->names, QStringList{"Pendrel Keep Awake"});
    EXPECT_EQ(toggle->text(), "Stop Keep Awake");
    ASSERT_TRUE(shown("keepAwakeStatus"));
    EXPECT_EQ(text("keepAwakeStatusText"), keepAwake->statusLine());
    EXPECT_EQ(colorOf(child<QLabel>("keepAwakeStatusText")), tone(QKForeground::Orange));
    // The panel grows for the status line (and shrinks back without it).
    ASSERT_TRUE(waitFor([&] { return panel->height() > heightOff; }));

    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_FALSE(keepAwake->isActive());
    EXPECT_TRUE(fake->held.isEmpty());
    EXPECT_EQ(keepAwake->lastNote(), "Turned off");
    EXPECT_EQ(toggle->text(), "Keep Mac awake");
    EXPECT_FALSE(shown("keepAwakeStatus"));
    ASSERT_TRUE(waitFor([&] { return panel->height() == heightOff; }));

    // Switched elsewhere (the Developer Centre): the panel follows.
    keepAwake->start();
    EXPECT_TRUE(shown("keepAwakeStatus"));
    EXPECT_EQ(toggle->text(), "Stop Keep Awake");
    keepAwake->stop(KeepAwakeManager::turnedOffNote());
    EXPECT_FALSE(shown("keepAwakeStatus"));
}

TEST_F(PanelTest, AssistiveTechnologyReadsThePanelAndPressesItsButtons) {
    publish();
    QAccessibleInterface* self = QAccessible::queryAccessibleInterface(panel.get());
    EXPECT_EQ(self->role(), QAccessible::Dialog);
    EXPECT_EQ(self->text(QAccessible::Name), QString("Pendrel"));
    EXPECT_TRUE(testsupport::accessibilityProblems(panel.get()).isEmpty())
        << testsupport::accessibilityProblems(panel.get()).join('\n').toStdString();
    // Every figure the panel draws is read, the breakdown and the metric rows included.
    const QStringList texts = testsupport::accessibleTexts(panel.get());
    for (const QString& line :
         {child<QKLineLabel>("breakdownLabel0")->text(),
          child<QKLineLabel>("breakdownValue0")->text(), QString("Available memory"),
          child<MenuBarMetricRow>("memoryMetric")->value(), QString("Disk"), QString("free"),
          text("heatRowText")})
        EXPECT_TRUE(texts.contains(line)) << line.toStdString();

    QAccessibleInterface* keep = testsupport::findAccessible(panel.get(), "Keep Mac awake");
    ASSERT_TRUE(keep && keep->actionInterface());
    EXPECT_EQ(keep->role(), QAccessible::Button);
    keep->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(waitFor([&] { return keepAwake->isActive(); }));
    EXPECT_TRUE(testsupport::accessibleTexts(panel.get()).contains(keepAwake->statusLine()));

    QAccessibleInterface* refresh = testsupport::findAccessible(panel.get(), "Refresh");
    ASSERT_TRUE(refresh && refresh->actionInterface());
    const qsizetype before = app->memoryHistory().size();
    refresh->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(waitFor([&] { return app->memoryHistory().size() != before; }));
}

TEST_F(PanelTest, RefusedKeepAwakeSaysWhyInsteadOfDoingNothing) {
    MenuBarButton* toggle = button("keepAwakeButton");
    onPower = false;
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_FALSE(keepAwake->isActive());
    ASSERT_TRUE(shown("keepAwakeStatus"));
    EXPECT_EQ(text("keepAwakeStatusText"),
              "Plug in power first — Keep Awake is set to work only while charging.");
    EXPECT_EQ(toggle->text(), "Keep Mac awake");

    // Plugged in, the next click works and the status line takes the row over.
    onPower = true;
    QTest::mouseClick(toggle, Qt::LeftButton);
    ASSERT_TRUE(keepAwake->isActive());
    EXPECT_EQ(text("keepAwakeStatusText"), keepAwake->statusLine());

    // A refusal by the system itself; closing the panel forgets the note.
    keepAwake->stop(KeepAwakeManager::turnedOffNote());
    fake->refuse = true;
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_TRUE(
        text("keepAwakeStatusText").startsWith("The system refused the stay-awake request."));
    panel->hide();
    EXPECT_FALSE(child<QWidget>("keepAwakeStatus")->isVisibleTo(panel.get()));
}

TEST_F(PanelTest, OpenBringsBackPutAwayWindowsThenAsksForTheMainWindow) {
    QWidget other;
    other.resize(200, 100);
    other.showMinimized();
    ASSERT_TRUE(other.isMinimized());
    QSignalSpy open(panel.get(), &MenuBarPanel::openMainWindowRequested);
    QSignalSpy quit(panel.get(), &MenuBarPanel::quitRequested);

    MenuBarButton* openButton = button("openButton");
    EXPECT_EQ(openButton->text(), "Open Pendrel…");
    EXPECT_EQ(openButton->symbol(), "macwindow");
    QTest::mouseClick(openButton, Qt::LeftButton);
    EXPECT_FALSE(other.isMinimized());
    EXPECT_EQ(open.count(), 1);
    EXPECT_EQ(quit.count(), 0);

    QTest::mouseClick(button("quitButton"), Qt::LeftButton);
    EXPECT_EQ(quit.count(), 1);
}
