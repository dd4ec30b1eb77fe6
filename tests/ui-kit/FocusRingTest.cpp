// Keyboard focus that can be seen and followed: every kind of kit control, and every standard Qt
// control the app uses, rings at 3:1 against what it sits on and its unfocused look, in both
// themes and with every accent; a control that draws its own ring gets no second one; focus that
// lands in a scroll area is brought into view; a scroll area's ring keeps to its area.
#include "platform/RawValue.h"
#include "platform/UserDefaults.h"
#include "support/AccessibleAudit.h"
#include "support/KeyboardWindow.h"
#include "support/TestSupport.h"
#include "ui-kit/ChoiceRadio.h"
#include "ui-kit/Color.h"
#include "ui-kit/QKBorderedButton.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKSymbolButton.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/TamsoExplainRow.h"
#include "ui-kit/TextSize.h"
#include "ui-kit/TextSizeControl.h"
#include "ui-kit/Themed.h"
#include "ui-kit/ThemeSettings.h"
#include "ui-kit/ToggleSwitch.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

using testsupport::KeyboardWindow;

// The least that can be seen: as many pixels at 3:1 as a one-pixel line around a square as tall
// as the control (a switch rings its track, a radio button its dot, a segmented control its
// current segment). A faint ring, or a hairline that only changes colour, has none at 3:1.
TEST(FocusRing, EveryKindOfControlStandsThreeToOneApartInBothThemesAndEveryAccent) {
    UserDefaults defaults(testsupport::freshDir(QStringLiteral("ring")) +
                          QStringLiteral("/d.json"));
    KeyboardWindow window;
    auto* destructive = new QKProminentButton(QStringLiteral("Delete"), &window.widget);
    destructive->setDestructive(true);
    auto* on = new ToggleSwitch(QStringLiteral("On"), &window.widget);
    on->setChecked(true);
    auto* sizes = new TextSizeControl(defaults, &window.widget);
    auto* picker =
        new SegmentedControl({QStringLiteral("Light"), QStringLiteral("Dark")}, &window.widget);
    picker->setCurrentIndex(0);
    auto* area = new QScrollArea(&window.widget);
    area->setWidget(new QLabel(QStringLiteral("A page"), area));
    area->setMinimumHeight(60);
    auto* choices = new QComboBox(&window.widget);
    choices->addItems({QStringLiteral("Name"), QStringLiteral("Size")});
    auto* note = new QPlainTextEdit(QStringLiteral("A secret note"), &window.widget);
    note->setMinimumHeight(60);
    // A row's own check box, named by the row beside it: no wider than its indicator.
    auto* rowCheck = new QCheckBox(&window.widget);
    rowCheck->setFixedSize(rowCheck->sizeHint());
    const QList<QWidget*> controls{
        new QKBorderedButton(QStringLiteral("Rescan"), &window.widget),
        new QKProminentButton(QStringLiteral("Clean selected"), &window.widget),
        destructive,
        new QKSymbolButton(QStringLiteral("pin"), QKForeground::Secondary,
                           QKFont{.style = TextStyle::Body}, &window.widget),
        new ToggleSwitch(QStringLiteral("Off"), &window.widget),
        on,
        new ChoiceRadio(QStringLiteral("Only when open"), &window.widget),
        picker,
        sizes->findChild<QToolButton*>(),
        area,
        new QLineEdit(QStringLiteral("Search"), &window.widget),
        note,
        new QCheckBox(QStringLiteral("Include hidden files"), &window.widget),
        rowCheck,
        choices,
        new QSlider(Qt::Horizontal, &window.widget),
        new QSpinBox(&window.widget),
        new QPushButton(QStringLiteral("Open"), &window.widget),
    };
    for (QWidget* w : controls) {
        if (w != controls.at(8))
            window.column->addWidget(w);
    }
    window.column->addWidget(sizes);
    window.show();

    for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        for (const AccentChoice accent : allCases<AccentChoice>()) {
            window.widget.setPalette(Themed::palette(scheme, Themed::accentColor(accent, scheme)));
            // The text-size buttons stand on the sidebar's gradient wherever the app shows them.
            QPalette sidebar = sizes->palette();
            sidebar.setColor(QPalette::Window, Color::brandBlue());
            sizes->setPalette(sidebar);
            for (QWidget* w : controls) {
                const QString what = QString::fromLatin1(w->metaObject()->className()) + " " +
                                     w->accessibleName() + " in " + rawValue(accent) +
                                     (scheme == ColorScheme::Dark ? " dark" : " light");
                window.widget.setFocus();
                QApplication::processEvents();
                const QImage plain = w->grab().toImage();
                window.tabTo(w);
                ASSERT_TRUE(w->hasFocus()) << what.toStdString();
                const QImage ringed = w->grab().toImage();
                EXPECT_GE(testsupport::pixelsAtContrast(plain, ringed, 3.0),
                          4 * std::min(w->width(), w->height()))
                    << what.toStdString();
            }
        }
    }
}

// The overlay is for controls that show focus faintly; one that draws the kit's ring itself would
// wear two, one a pixel off the other.
TEST(FocusRing, AButtonThatDrawsItsOwnRingWearsNoOverlayAndTheOverlayLeavesWithTheFocus) {
    KeyboardWindow window;
    auto* own = new QKBorderedButton(QStringLiteral("Rescan"), &window.widget);
    auto* plain = new QPushButton(QStringLiteral("Open"), &window.widget);
    window.column->addWidget(own);
    window.column->addWidget(plain);
    window.show();
    window.tabTo(own);
    EXPECT_EQ(own->findChild<QWidget*>(QStringLiteral("qk_focusRing")), nullptr);

    window.tabTo(plain);
    auto* ring = plain->findChild<QWidget*>(QStringLiteral("qk_focusRing"));
    ASSERT_TRUE(ring && ring->isVisible());
    EXPECT_TRUE(plain->rect().contains(ring->geometry()));
    window.tabTo(own);
    EXPECT_FALSE(ring->isVisible());
}

TEST(FocusRing, FocusThatComesByTabIntoAScrollAreaIsBroughtIntoView) {
    KeyboardWindow window;
    auto* before = new QKBorderedButton(QStringLiteral("Bigger text"), &window.widget);
    auto* area = new QScrollArea(&window.widget);
    area->setWidgetResizable(true);
    auto* page = new QWidget;
    auto* rows = new QVBoxLayout(page);
    QList<QKBorderedButton*> buttons;
    for (int i = 0; i < 20; ++i) {
        buttons << new QKBorderedButton(QStringLiteral("Row %1").arg(i), page);
        rows->addWidget(buttons.back());
    }
    area->setWidget(page);
    area->setFocusPolicy(Qt::NoFocus); // Tab goes from the button straight to the first row
    window.column->addWidget(before);
    window.column->addWidget(area);
    window.widget.resize(240, 200);
    window.show();
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    before->setFocus(Qt::OtherFocusReason);

    const auto inView = [&](QWidget* w) {
        const QRect shown(w->mapTo(area->viewport(), QPoint(0, 0)), w->size());
        return area->viewport()->rect().contains(shown);
    };
    ASSERT_FALSE(inView(buttons.front()));
    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), buttons.front());
    EXPECT_TRUE(inView(buttons.front()));

    // Back out and in again from below: the last row is brought in as well.
    QTest::keyClick(buttons.front(), Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), before);
    QTest::keyClick(before, Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), buttons.back());
    EXPECT_TRUE(inView(buttons.back()));
}

TEST(FocusRing, AScrollAreasRingFollowsItWhenTheWindowGrows) {
    KeyboardWindow window;
    auto* area = new QScrollArea(&window.widget);
    area->setWidget(new QLabel(QStringLiteral("A long page of text"), area));
    window.column->addWidget(area);
    window.widget.resize(300, 200);
    window.show();
    window.widget.setFocus();
    window.tabTo(area);
    auto* ring = area->findChild<QWidget*>(QStringLiteral("qk_focusRing"));
    ASSERT_TRUE(ring && ring->isVisible());
    EXPECT_EQ(ring->geometry(), area->viewport()->geometry());

    window.widget.resize(520, 380);
    QApplication::processEvents();
    EXPECT_EQ(ring->geometry(), area->viewport()->geometry());
}

// A ring is seen against what it surrounds and what lies outside it: an accent-filled button on
// the dark window got a black ring that stood apart from its fill but not from the window.
TEST(FocusRing, AFilledButtonsRingStandsApartFromItsFillAndTheSurfaceInBothThemes) {
    KeyboardWindow window;
    auto* filled = new QKProminentButton(QStringLiteral("Check now"), &window.widget);
    auto* other = new QPushButton(QStringLiteral("Open"), &window.widget);
    window.column->setContentsMargins(12, 12, 12, 12);
    window.column->addWidget(filled);
    window.column->addWidget(other);
    window.show();
    for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        for (const AccentChoice accent : allCases<AccentChoice>()) {
            window.widget.setPalette(Themed::palette(scheme, Themed::accentColor(accent, scheme)));
            const QString what =
                rawValue(accent) + (scheme == ColorScheme::Dark ? " dark" : " light");
            const QRect place = filled->geometry().adjusted(-3, -3, 3, 3);
            window.tabTo(other);
            const QImage plain = window.widget.grab(place).toImage();
            window.tabTo(filled);
            const testsupport::RingSides sides =
                testsupport::ringSides(plain, window.widget.grab(place).toImage(), 3.0);
            EXPECT_GE(sides.seen, 4 * filled->height()) << what.toStdString();
            EXPECT_LE(sides.faint * 8, sides.seen + sides.faint) << what.toStdString();
        }
    }
}

// Space presses a button; so does Return, on every plain button and not only on those that
// asked for it, while a check box leaves Return to the dialog it sits in.
TEST(FocusRing, ReturnPressesEveryPlainButtonButNotACheckBox) {
    KeyboardWindow window;
    auto* plain = new QPushButton(QStringLiteral("Private by design"), &window.widget);
    auto* check = new QCheckBox(QStringLiteral("Include hidden files"), &window.widget);
    window.column->addWidget(plain);
    window.column->addWidget(check);
    window.show();
    int clicks = 0;
    QObject::connect(plain, &QPushButton::clicked, [&] { ++clicks; });
    window.tabTo(plain);
    QTest::keyClick(plain, Qt::Key_Return);
    QTest::keyClick(plain, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(plain, Qt::Key_Space);
    EXPECT_EQ(clicks, 3);
    window.tabTo(check);
    QTest::keyClick(check, Qt::Key_Return);
    EXPECT_FALSE(check->isChecked());
}

// A ring drawn by the control itself runs between its face and what lies around it: the current
// segment beside the track and its neighbours, a switch's track beside the knob and the window.
TEST(FocusRing, TheKitsDrawnControlsRingStandsApartFromBothItsSidesInBothThemes) {
    KeyboardWindow window;
    auto* first = new SegmentedControl(
        {QStringLiteral("Overview"), QStringLiteral("Sensors"), QStringLiteral("Fans")},
        &window.widget);
    first->setCurrentIndex(0);
    auto* middle = new SegmentedControl(
        {QStringLiteral("Overview"), QStringLiteral("Sensors"), QStringLiteral("Fans")},
        &window.widget);
    middle->setCurrentIndex(1);
    auto* off = new ToggleSwitch(QStringLiteral("Off"), &window.widget);
    auto* on = new ToggleSwitch(QStringLiteral("On"), &window.widget);
    on->setChecked(true);
    auto* elsewhere = new QPushButton(QStringLiteral("Open"), &window.widget);
    window.column->setContentsMargins(12, 12, 12, 12);
    for (QWidget* w : std::initializer_list<QWidget*>{first, middle, off, on, elsewhere})
        window.column->addWidget(w);
    window.show();
    for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        for (const AccentChoice accent : allCases<AccentChoice>()) {
            window.widget.setPalette(Themed::palette(scheme, Themed::accentColor(accent, scheme)));
            for (QWidget* control : {static_cast<QWidget*>(first), static_cast<QWidget*>(middle),
                                     static_cast<QWidget*>(off), static_cast<QWidget*>(on)}) {
                const std::string what =
                    (control->accessibleName() + QLatin1Char(' ') +
                     QString::fromLatin1(control->metaObject()->className()) + QLatin1Char(' ') +
                     rawValue(accent) + (scheme == ColorScheme::Dark ? " dark" : " light"))
                        .toStdString();
                const testsupport::RingSides sides =
                    testsupport::ringAsTabShowsIt(control, elsewhere);
                EXPECT_GE(sides.seen, 4 * std::min(control->width(), control->height())) << what;
                EXPECT_LE(sides.faint * 8, sides.seen + sides.faint)
                    << what << " (" << sides.faint << " faint of " << sides.seen + sides.faint
                    << ")";
            }
        }
    }
}

// A row's own check box is no wider than its indicator, so a ring inside it runs over the
// indicator's frame line and field; it rings the indicator from outside instead, ticked or not,
// at every text size the row scales it to.
TEST(FocusRing, AnIndicatorSizedCheckBoxIsRungWholeInBothThemesAndEveryAccent) {
    for (const int step : {int(TextSize::Normal), int(TextSize::Largest)}) {
        UserDefaults::standard().setValue(ThemeKeys::FontSize, qint64(step));
        KeyboardWindow window;
        auto* plain = new TamsoExplainRow(QStringLiteral("Caches"), QStringLiteral("1 MB"),
                                          QStringLiteral("Rebuilt when needed"), &window.widget);
        plain->setSelected(false);
        auto* ticked = new TamsoExplainRow(QStringLiteral("Logs"), QStringLiteral("2 MB"),
                                           QStringLiteral("Old logs"), &window.widget);
        ticked->setSelected(true);
        auto* elsewhere = new QPushButton(QStringLiteral("Open"), &window.widget);
        for (QWidget* w : std::initializer_list<QWidget*>{plain, ticked, elsewhere})
            window.column->addWidget(w);
        window.show();
        QApplication::processEvents();
        for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
            for (const AccentChoice accent : allCases<AccentChoice>()) {
                window.widget.setPalette(
                    Themed::palette(scheme, Themed::accentColor(accent, scheme)));
                for (TamsoExplainRow* row : {plain, ticked}) {
                    auto* box = row->findChild<QCheckBox*>(QStringLiteral("explainRowCheck"));
                    const std::string what = (box->isChecked() ? "ticked " : "clear ") +
                                             rawValue(accent).toStdString() +
                                             (scheme == ColorScheme::Dark ? " dark" : " light") +
                                             " at step " + std::to_string(step);
                    const testsupport::RingSides sides =
                        testsupport::ringAsTabShowsIt(box, elsewhere);
                    EXPECT_GE(sides.seen, 4 * std::min(box->width(), box->height())) << what;
                    EXPECT_LE(sides.faint * 8, sides.seen + sides.faint)
                        << what << " (" << sides.faint << " faint of " << sides.seen + sides.faint
                        << ")";
                }
            }
        }
    }
    UserDefaults::standard().remove(ThemeKeys::FontSize);
}
