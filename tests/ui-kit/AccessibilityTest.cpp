// The kit's self-painted controls as assistive technology sees them: switches turned through
// their accessible actions act like clicks, a segmented picker is a group of pressable segments,
// and drawn text is readable in full. Also holds the audit helper the screen tests use.
#include "support/AccessibleAudit.h"
#include "ui-kit/QKAccessible.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/ToggleSwitch.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

QAccessibleInterface* accessible(QWidget* w) {
    return QAccessible::queryAccessibleInterface(w);
}

} // namespace

TEST(Accessibility, EveryWayOfTurningASwitchIsAClick) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* toggle = new ToggleSwitch(QString(), &window);
    toggle->setAccessibleName(QStringLiteral("Show hidden files"));
    layout->addWidget(toggle);
    window.show();
    QApplication::processEvents();

    QAccessibleInterface* iface = accessible(toggle);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::CheckBox);
    EXPECT_EQ(iface->text(QAccessible::Name), QString("Show hidden files"));
    EXPECT_TRUE(iface->state().checkable);
    EXPECT_FALSE(iface->state().checked);
    ASSERT_NE(iface->actionInterface(), nullptr);
    EXPECT_TRUE(iface->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::toggleAction()));

    QSignalSpy clicked(toggle, &QAbstractButton::clicked);
    iface->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    ASSERT_EQ(clicked.size(), 1);
    EXPECT_TRUE(clicked.at(0).at(0).toBool());
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_TRUE(iface->state().checked);

    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(clicked.size(), 2);
    EXPECT_FALSE(clicked.at(1).at(0).toBool());

    toggle->setFocus();
    QTest::keyClick(toggle, Qt::Key_Space);
    ASSERT_EQ(clicked.size(), 3);
    EXPECT_TRUE(clicked.at(2).at(0).toBool());

    // A switch set in code says nothing, and a disabled one cannot be turned at all.
    toggle->setChecked(false);
    toggle->setEnabled(false);
    EXPECT_FALSE(iface->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::toggleAction()));
    iface->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(clicked.size(), 3);
    EXPECT_FALSE(toggle->isChecked());
}

TEST(Accessibility, SegmentsArePressableRadioButtonsAndFollowTheArrows) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* picker = new SegmentedControl({"Overview", "Sensors", "Fans"}, &window);
    layout->addWidget(picker);
    picker->setCurrentIndex(1);
    window.show();
    QApplication::processEvents();

    QAccessibleInterface* iface = accessible(picker);
    ASSERT_NE(iface, nullptr);
    ASSERT_EQ(iface->childCount(), 3);
    QStringList names;
    for (int i = 0; i < 3; ++i) {
        QAccessibleInterface* segment = iface->child(i);
        ASSERT_NE(segment, nullptr);
        names << segment->text(QAccessible::Name);
        EXPECT_EQ(segment->role(), QAccessible::RadioButton);
        EXPECT_EQ(segment->state().checked, i == 1) << i;
        EXPECT_EQ(segment->parent(), iface);
        EXPECT_EQ(iface->indexOfChild(segment), i);
        const QRect local = picker->segmentRect(i);
        EXPECT_EQ(segment->rect(), QRect(picker->mapToGlobal(local.topLeft()), local.size()));
        EXPECT_EQ(iface->childAt(segment->rect().center().x(), segment->rect().center().y()),
                  segment);
    }
    EXPECT_EQ(names, QStringList({"Overview", "Sensors", "Fans"}));
    EXPECT_TRUE(testsupport::accessibilityProblems(&window).isEmpty())
        << testsupport::accessibilityProblems(&window).join('\n').toStdString();

    // Pressing reports the segment; the owner moves the selection.
    QSignalSpy activated(picker, &SegmentedControl::activated);
    iface->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(activated.size(), 1);
    EXPECT_EQ(activated.at(0).at(0).toInt(), 2);
    EXPECT_TRUE(iface->child(1)->state().checked) << "the picker waits for its owner";
    picker->setCurrentIndex(2);
    EXPECT_TRUE(iface->child(2)->state().checked);
    EXPECT_FALSE(iface->child(1)->state().checked);

    picker->setFocus();
    EXPECT_EQ(iface->focusChild(), iface->child(2));
    activated.clear();
    QTest::keyClick(picker, Qt::Key_Right); // already the last one
    QTest::keyClick(picker, Qt::Key_Left);
    QTest::keyClick(picker, Qt::Key_Home);
    picker->setCurrentIndex(0);
    QTest::keyClick(picker, Qt::Key_End);
    QList<int> keyed;
    for (const QList<QVariant>& args : activated)
        keyed << args.at(0).toInt();
    EXPECT_EQ(keyed, QList<int>({1, 0, 2}));

    picker->setEnabled(false);
    EXPECT_TRUE(iface->child(0)->actionInterface()->actionNames().isEmpty());
    activated.clear();
    iface->child(0)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(activated.isEmpty());
}

TEST(Accessibility, ALineLabelReadsItsWholeTextEvenWhenCut) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* label = new QKLineLabel(QStringLiteral("Loads at login for every user"), &window);
    layout->addWidget(label);
    window.setFixedWidth(60);
    window.show();
    QApplication::processEvents();
    ASSERT_NE(label->displayedText(), label->text());

    QAccessibleInterface* iface = accessible(label);
    EXPECT_EQ(iface->role(), QAccessible::StaticText);
    EXPECT_EQ(iface->text(QAccessible::Name), QString("Loads at login for every user"));
    QAccessibleTextInterface* text = iface->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->characterCount(), 29);
    EXPECT_EQ(text->text(0, 5), QString("Loads"));
    EXPECT_EQ(text->text(24, -1), QString(" user"));

    label->setText(QStringLiteral("Off"));
    EXPECT_EQ(iface->text(QAccessible::Name), QString("Off"));
    EXPECT_EQ(text->characterCount(), 3);
}

TEST(Accessibility, TheAuditFindsUnnamedControlsAndSilentText) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* iconOnly = new QPushButton(&window);
    iconOnly->setObjectName(QStringLiteral("back"));
    auto* named = new QPushButton(QStringLiteral("Run now"), &window);
    auto* silent = new QLabel(QStringLiteral("Something is working"), &window);
    silent->setAccessibleName(QStringLiteral(" "));
    auto* custom = new QWidget(&window);
    custom->setObjectName(QStringLiteral("card"));
    custom->setFocusPolicy(Qt::TabFocus);
    auto* hidden = new QPushButton(&window);
    for (QWidget* w : {static_cast<QWidget*>(iconOnly), static_cast<QWidget*>(named),
                       static_cast<QWidget*>(silent), custom, static_cast<QWidget*>(hidden)})
        layout->addWidget(w);
    hidden->hide();
    window.show();
    QApplication::processEvents();

    const QStringList problems = testsupport::accessibilityProblems(&window);
    ASSERT_EQ(problems.size(), 3) << problems.join('\n').toStdString();
    EXPECT_TRUE(problems[0].startsWith("QPushButton#back (Button): control without a name"))
        << problems[0].toStdString();
    EXPECT_TRUE(problems[1].contains("shows \"Something is working\" but exposes no text"))
        << problems[1].toStdString();
    EXPECT_TRUE(problems[2].startsWith("QWidget#card (Client): takes the focus but has no role"))
        << problems[2].toStdString();
    EXPECT_TRUE(testsupport::accessibleTexts(&window).contains("Run now"));
    EXPECT_EQ(testsupport::findAccessible(&window, "Run now")->object(), named);
}
