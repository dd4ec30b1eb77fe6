// Pinching the detail card changes the text size: the pure step function, the anchor of one
// pinch, and the wiring to the platform's zoom gesture.
#include "MainWindowTestSupport.h"

#include "shell/views/DetailCard.h"
#include "shell/views/PinchZoom.h"
#include "ui-kit/ThemeSettings.h"

#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <QApplication>
#include <QNativeGestureEvent>
#include <QPointingDevice>

namespace {

struct StepCase {
    int anchor;
    double scale;
    int expected;
};

void PrintTo(const StepCase& c, std::ostream* os) {
    *os << "from " << c.anchor << " at scale " << c.scale;
}

class ZoomStepTest : public ::testing::TestWithParam<StepCase> {};

} // namespace

TEST_P(ZoomStepTest, GivesOneStepPerFullScaleStepFromTheAnchor) {
    const StepCase& c = GetParam();
    EXPECT_EQ(zoomStep(c.anchor, c.scale), c.expected) << c.anchor << " at " << c.scale;
}

INSTANTIATE_TEST_SUITE_P(
    Scales, ZoomStepTest,
    ::testing::Values(StepCase{2, 1.19, 3}, StepCase{2, 1.37, 4}, StepCase{2, 2.0, 4},
                      StepCase{2, 0.83, 2}, StepCase{2, 0.82, 1},
                      StepCase{2, 1.18, 2}, // 0.99999… steps truncate to none
                      StepCase{0, 0.1, 0}, StepCase{9, 1.0, 4},
                      StepCase{2, std::numeric_limits<double>::infinity(), 4},
                      StepCase{2, 1e300, 4},
                      StepCase{2, std::numeric_limits<double>::quiet_NaN(), 2}));

namespace {

struct PinchTest : ::testing::Test {
    UserDefaults defaults{testsupport::freshDir("pinch") + "/defaults.json"};
    PinchZoom pinch{defaults};
    qint64 stored() const { return defaults.integerValue(ThemeKeys::FontSize).value_or(-1); }
};

} // namespace

TEST_F(PinchTest, StepsAreRelativeToTheSizeWhenThePinchBeganAndUndoOnTheWayBack) {
    pinch.begin();
    pinch.change(1.02); // below the gesture's minimum movement
    EXPECT_FALSE(defaults.contains(ThemeKeys::FontSize));
    pinch.change(1.19);
    EXPECT_EQ(stored(), 3);
    pinch.change(1.37);
    EXPECT_EQ(stored(), 4);
    pinch.change(1.0);
    EXPECT_EQ(stored(), 2) << "pinching back to 1 undoes the steps";
    pinch.change(0.83);
    EXPECT_EQ(stored(), 2);
    pinch.end();

    // The next pinch starts from what is stored then.
    defaults.setValue(ThemeKeys::FontSize, 3);
    pinch.begin();
    pinch.change(1.19);
    EXPECT_EQ(stored(), 4);
    pinch.end();
}

TEST_F(PinchTest, TheCardTurnsTheNativeZoomGestureIntoSteps) {
    QWidget host;
    host.resize(600, 400);
    auto* card = new DetailCard(&host, defaults, &host);
    card->setGeometry(10, 10, 500, 300);
    auto* deep = new QWidget;
    card->setScreen(deep);
    auto* inner = new QWidget(deep); // gestures reach the widget under the pointer
    host.show();

    const QPointingDevice* device = QPointingDevice::primaryPointingDevice();
    auto send = [&](Qt::NativeGestureType type, qreal value) {
        QNativeGestureEvent event(type, device, 2, QPointF(5, 5), QPointF(5, 5), QPointF(5, 5),
                                  value, QPointF(), 1);
        QApplication::sendEvent(inner, &event);
    };
    send(Qt::BeginNativeGesture, 0);
    send(Qt::ZoomNativeGesture, 0.10);
    send(Qt::ZoomNativeGesture, 0.10); // 1.1 × 1.1 = 1.21
    EXPECT_EQ(defaults.integerValue(ThemeKeys::FontSize), 3);
    send(Qt::EndNativeGesture, 0);
    EXPECT_FALSE(card->pinch().anchor().has_value());

    // A gesture outside the card changes nothing.
    QWidget elsewhere;
    QNativeGestureEvent zoom(Qt::ZoomNativeGesture, device, 2, QPointF(), QPointF(), QPointF(), 0.5,
                             QPointF(), 2);
    QApplication::sendEvent(&elsewhere, &zoom);
    EXPECT_EQ(defaults.integerValue(ThemeKeys::FontSize), 3);
}
