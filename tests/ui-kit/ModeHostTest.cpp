#include "platform/UserDefaults.h"
#include "shell/ScreenState.h"
#include "ui-kit/QKModeHost.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/TextSize.h"
#include "ui-kit/Themed.h"
#include "ui-kit/ThemeSettings.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

namespace {

QStringList labels() {
    QStringList out;
    for (DevPane pane : allCases<DevPane>())
        out << title(pane);
    return out;
}

// A host over the developer panes that counts how often each pane is built.
struct Fixture {
    explicit Fixture(QKModeHost::Panes panes) {
        picker = new SegmentedControl(labels(), &window);
        host = new QKModeHost(
            picker,
            [this](int index, QWidget* parent) {
                ++builds[index];
                return new QLabel(QString::number(index), parent);
            },
            panes, &window);
        host->bind<DevPane>(
            &screen, &ScreenState::devPaneChanged, [this] { return screen.devPane(); },
            [this](DevPane pane) { screen.setDevPane(pane); });
    }
    void click(int index) {
        QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(index).center());
    }

    ScreenState screen;
    QWidget window;
    SegmentedControl* picker;
    QKModeHost* host;
    int builds[4] = {0, 0, 0, 0};
};

TEST(ModeHost, KeptPanesAreBuiltWhenFirstShownAndOnlyOnce) {
    Fixture f(QKModeHost::Panes::Kept);
    EXPECT_EQ(f.host->shownIndex(), 0);
    EXPECT_EQ(f.builds[0], 1);
    EXPECT_EQ(f.builds[2], 0); // never shown, never built

    f.screen.setDevPane(DevPane::Models);
    QWidget* models = f.host->pane();
    f.screen.setDevPane(DevPane::Hub);
    f.screen.setDevPane(DevPane::Models);
    EXPECT_EQ(f.builds[2], 1);
    EXPECT_EQ(f.host->pane(), models);
    EXPECT_EQ(f.host->currentWidget(), models);
    EXPECT_EQ(f.picker->currentIndex(), 2);
}

TEST(ModeHost, RebuiltPanesStartOverOnEverySwitchButNotOnTheSameMode) {
    Fixture f(QKModeHost::Panes::Rebuilt);
    QPointer<QWidget> hub = f.host->pane();
    f.screen.setDevPane(DevPane::Awake);
    f.host->showMode(DevPane::Awake); // the mode on show keeps its pane
    EXPECT_EQ(f.builds[3], 1);
    f.screen.setDevPane(DevPane::Hub);
    EXPECT_EQ(f.builds[0], 2);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(hub.isNull()); // the first hub pane is gone
    EXPECT_EQ(f.host->count(), 1);
    EXPECT_EQ(f.host->paneAt(3), nullptr);
}

// A pane that switches the mode from the keyboard hands the focus on to the pane that replaces
// it, not to the control after the host.
TEST(ModeHost, ARebuiltPaneHandsTheFocusToTheOneReplacingIt) {
    ScreenState screen;
    QWidget window;
    auto* column = new QVBoxLayout(&window);
    SegmentedControl* picker = new SegmentedControl(labels(), &window);
    auto* host = new QKModeHost(
        picker,
        [&screen](int index, QWidget* parent) {
            auto* pane = new QWidget(parent);
            auto* next = new QPushButton(QString::number(index), pane);
            next->setObjectName("next");
            QObject::connect(next, &QPushButton::clicked, [&screen, index] {
                screen.setDevPane(allCases<DevPane>().value((index + 1) % 4));
            });
            return pane;
        },
        QKModeHost::Panes::Rebuilt, &window);
    host->bind<DevPane>(
        &screen, &ScreenState::devPaneChanged, [&screen] { return screen.devPane(); },
        [&screen](DevPane pane) { screen.setDevPane(pane); });
    column->addWidget(picker);
    column->addWidget(host);
    column->addWidget(new QPushButton(QStringLiteral("footer"), &window));
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    auto* first = host->pane()->findChild<QPushButton*>("next");
    first->setFocus(Qt::TabFocusReason);
    QTest::keyClick(first, Qt::Key_Space);
    ASSERT_EQ(host->shownIndex(), 1);
    EXPECT_EQ(QApplication::focusWidget(), host->pane()->findChild<QPushButton*>("next"));
    EXPECT_EQ(host->currentWidget(), host->pane());
    EXPECT_EQ(host->count(), 1);
}

TEST(ModeHost, AClickAsksTheOwnerAndThePaneFollowsTheMode) {
    Fixture f(QKModeHost::Panes::Kept);
    f.window.resize(600, 200);
    f.picker->resize(f.picker->sizeHint());
    f.click(1);
    EXPECT_EQ(f.screen.devPane(), DevPane::Cleanup);
    EXPECT_EQ(f.host->shownIndex(), 1);
    EXPECT_EQ(f.picker->currentIndex(), 1);
}

TEST(ModeHost, ACoverShowsInFrontOfEveryModeUntilTakenAway) {
    Fixture f(QKModeHost::Panes::Kept);
    auto* cover = new QLabel(QStringLiteral("Reading…"));
    f.host->setCover(cover);
    EXPECT_EQ(f.host->currentWidget(), cover);
    f.screen.setDevPane(DevPane::Awake);
    EXPECT_EQ(f.host->currentWidget(), cover);
    EXPECT_EQ(f.picker->currentIndex(), 3); // the picker still follows the mode
    f.host->setCover(nullptr);
    EXPECT_EQ(f.host->currentWidget(), f.host->pane());
    EXPECT_EQ(f.host->shownIndex(), 3);
}

} // namespace

TEST(ModeHost, APickerStripGrowsPastItsLimitRatherThanSqueezeItsLabels) {
    Themed::shared();
    const QStringList titles = {"Overview",    "Safe cleanup", "Mail",     "Where did it go?",
                                "Screenshots", "Disk Map",     "Organizer"};
    for (int step : {TextSize::Smallest, TextSize::Largest}) {
        UserDefaults::standard().setValue(ThemeKeys::FontSize, qint64(step));
        QWidget window;
        auto* column = new QVBoxLayout(&window);
        SegmentedControl* picker = nullptr;
        column->addWidget(QKModeHost::pickerStrip(picker, titles, "modes", 720,
                                                  QMargins(16, 12, 16, 4), true, &window));
        window.resize(1000, 200);
        window.show();
        QApplication::processEvents();
        EXPECT_LE(picker->width(), std::max(720, picker->sizeHint().width())) << step;
        const QFontMetrics fm(picker->font());
        for (int i = 0; i < titles.size(); ++i)
            EXPECT_GE(picker->segmentRect(i).width(), fm.horizontalAdvance(titles[i]) + 16)
                << titles[i].toStdString() << " at step " << step;
    }
    UserDefaults::standard().remove(ThemeKeys::FontSize);
}
