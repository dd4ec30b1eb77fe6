// Qt's own controls as the style paints them, and the file dialog built of them: each rings apart
// from the face the style really paints and from the surface past it, in both themes.
#include "platform/RawValue.h"
#include "platform/UserDefaults.h"
#include "support/AccessibleAudit.h"
#include "support/KeyboardWindow.h"
#include "support/TestSupport.h"
#include "ui-kit/ChoiceRadio.h"
#include "ui-kit/Color.h"
#include "ui-kit/QKBorderedButton.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKPicker.h"
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
#include <QFileDialog>
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

namespace {

// ringSides for the ring Tab gives `control`, within its frame line, against the control as it
// looks focused without the ring: the style recolours the frame line and may tint the whole face
// of a focused control itself, and that is what the ring is seen over.
testsupport::RingSides ringInsideFrame(QWidget* control) {
    control->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    control->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    auto* ring = control->findChild<QWidget*>(QStringLiteral("qk_focusRing"));
    if (!ring || !ring->isVisible())
        return {};
    const QRect inside = control->rect().adjusted(1, 1, -1, -1);
    ring->hide();
    const QImage plain = control->grab(inside).toImage();
    ring->show();
    return testsupport::ringSides(plain, control->grab(inside).toImage(), 3.0);
}

} // namespace

// Qt's own file dialog is built of the style's controls: its flat tool buttons (Back, Parent
// Directory, the view buttons), its default button, whose face and frame line the style tints
// with the accent, and its combo boxes, whose face the style paints lighter than the palette's
// button colour on the dark palette. Each is rung apart from the face the style really paints and
// from the surface past it.
TEST(FocusRing, TheStylesOwnControlsRingApartFromThePaintedFaceAndTheSurfaceInBothThemes) {
    KeyboardWindow window;
    auto* back = new QToolButton(&window.widget);
    back->setText(QStringLiteral("Back"));
    back->setAutoRaise(true);
    auto* raised = new QToolButton(&window.widget);
    raised->setText(QStringLiteral("Detail View"));
    auto* choose = new QPushButton(QStringLiteral("Choose"), &window.widget);
    choose->setDefault(true);
    auto* order = new QComboBox(&window.widget);
    order->addItems({QStringLiteral("Largest first"), QStringLiteral("Name")});
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &window.widget);
    window.column->setContentsMargins(12, 12, 12, 12);
    for (QWidget* w : std::initializer_list<QWidget*>{back, raised, choose, order, cancel})
        window.column->addWidget(w);
    window.show();
    for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        for (const AccentChoice accent : allCases<AccentChoice>()) {
            window.widget.setPalette(Themed::palette(scheme, Themed::accentColor(accent, scheme)));
            for (QWidget* control : std::initializer_list<QWidget*>{back, raised, choose, order}) {
                const std::string what =
                    (control->accessibleName() + QLatin1Char(' ') +
                     QString::fromLatin1(control->metaObject()->className()) + QLatin1Char(' ') +
                     rawValue(accent) + (scheme == ColorScheme::Dark ? " dark" : " light"))
                        .toStdString();
                const int least = 4 * std::min(control->width(), control->height());
                for (const bool inside : {false, true}) {
                    const testsupport::RingSides sides =
                        inside ? ringInsideFrame(control)
                               : testsupport::ringAsTabShowsIt(control, cancel);
                    const std::string where = what + (inside ? " inside" : " with its surface");
                    EXPECT_GE(sides.seen, least) << where;
                    EXPECT_LE(sides.faint * 8, sides.seen + sides.faint)
                        << where << " (" << sides.faint << " faint of " << sides.seen + sides.faint
                        << ")";
                }
            }
        }
    }
}

// A button that paints itself wears no overlay of the style's controls: the text-size buttons
// draw the kit's ring over the sidebar's gradient.
TEST(FocusRing, OnlyQtsOwnToolButtonsWearTheOverlay) {
    UserDefaults defaults(testsupport::freshDir(QStringLiteral("ring-tools")) +
                          QStringLiteral("/d.json"));
    KeyboardWindow window;
    auto* plain = new QToolButton(&window.widget);
    plain->setText(QStringLiteral("Parent Directory"));
    auto* sizes = new TextSizeControl(defaults, &window.widget);
    window.column->addWidget(plain);
    window.column->addWidget(sizes);
    window.show();
    window.widget.setFocus();
    window.tabTo(plain);
    auto* ring = plain->findChild<QWidget*>(QStringLiteral("qk_focusRing"));
    ASSERT_TRUE(ring && ring->isVisible());
    auto* own = sizes->findChild<QToolButton*>();
    window.tabTo(own);
    ASSERT_TRUE(own->hasFocus());
    EXPECT_EQ(own->findChild<QWidget*>(QStringLiteral("qk_focusRing")), nullptr);
}

// The file dialog the kit's picker opens, as it comes: its enabled tool buttons and its default
// "Choose" button, reached by Tab from its name field.
TEST(FocusRing, ThePickersFileDialogRingsItsToolButtonsAndItsDefaultButtonInBothThemes) {
    KeyboardWindow watching;
    const std::unique_ptr<QFileDialog> dialog =
        QKPicker::makeDialog(nullptr, QKPicker::Kind::Folder, QStringLiteral("Choose a folder"),
                             testsupport::freshDir(QStringLiteral("ring-dialog")));
    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(field, nullptr);
    QList<QWidget*> controls;
    for (QToolButton* tool : dialog->findChildren<QToolButton*>()) {
        if (tool->isVisible() && tool->isEnabled() && (tool->focusPolicy() & Qt::TabFocus))
            controls << tool;
    }
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->isDefault())
            controls << button;
    }
    ASSERT_GE(controls.size(), 3);
    for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        dialog->setPalette(
            Themed::palette(scheme, Themed::accentColor(AccentChoice::Blue, scheme)));
        for (QWidget* control : controls) {
            const std::string what = (control->toolTip() + QLatin1Char(' ') +
                                      QString::fromLatin1(control->metaObject()->className()) +
                                      (scheme == ColorScheme::Dark ? " dark" : " light"))
                                         .toStdString();
            const testsupport::RingSides sides = testsupport::ringAsTabShowsIt(control, field);
            EXPECT_GE(sides.seen, 4 * std::min(control->width(), control->height())) << what;
            EXPECT_LE(sides.faint * 8, sides.seen + sides.faint)
                << what << " (" << sides.faint << " faint of " << sides.seen + sides.faint << ")";
        }
    }
}
