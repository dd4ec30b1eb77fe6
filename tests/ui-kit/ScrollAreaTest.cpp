// Scroll areas as a keyboard and a screen-reader user meet them: a stop of their own only where
// Tab reaches nothing inside them, and a name that says what they show.
#include "support/AccessibleAudit.h"
#include "support/KeyboardWindow.h"
#include "ui-kit/QKBorderedButton.h"
#include "ui-kit/QKBuild.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

using testsupport::KeyboardWindow;

namespace {

bool isTabStop(const QWidget* w) {
    return (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

QString readName(QWidget* w) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name) : QString();
}

} // namespace

TEST(ScrollArea, IsATabStopOnlyWhileItHoldsNothingTabReaches) {
    KeyboardWindow window;
    auto* text = new QScrollArea(&window.widget);
    text->setWidget(new QLabel(QStringLiteral("A long page of text"), text));
    text->setAccessibleName(QStringLiteral("Notes"));
    auto* controls = new QScrollArea(&window.widget);
    controls->setWidgetResizable(true);
    controls->setAccessibleName(QStringLiteral("Rules"));
    auto* page = new QWidget;
    auto* rows = new QVBoxLayout(page);
    auto* only = new QKBorderedButton(QStringLiteral("Run now"), page);
    rows->addWidget(only);
    controls->setWidget(page);
    window.column->addWidget(text);
    window.column->addWidget(controls);
    window.show();

    EXPECT_TRUE(isTabStop(text)) << "Tab is the only way to scroll it by keyboard";
    EXPECT_FALSE(isTabStop(controls)) << "its first control is where Tab should land";
    EXPECT_TRUE(testsupport::scrollAreaProblems(&window.widget).isEmpty())
        << testsupport::scrollAreaProblems(&window.widget).join('\n').toStdString();

    // Once the last control goes, the keys have nothing else to scroll it by.
    only->hide();
    QApplication::processEvents();
    EXPECT_TRUE(isTabStop(controls));
    only->show();
    QApplication::processEvents();
    EXPECT_FALSE(isTabStop(controls));
}

TEST(ScrollArea, ReadsAsThePageItShowsOrTheScreenItStandsInUnlessItIsNamed) {
    KeyboardWindow window;
    window.widget.setWindowTitle(QStringLiteral("Pendrel"));
    // Shows a named page.
    auto* form = new QScrollArea(&window.widget);
    auto* settings = new QWidget;
    settings->setAccessibleName(QStringLiteral("Settings"));
    form->setWidget(settings);
    // A screen's page, inside a named screen.
    auto* screen = new QWidget(&window.widget);
    screen->setAccessibleName(QStringLiteral("Storage"));
    auto* inScreen = QKBuild::plainScroll(new QScrollArea(screen));
    inScreen->setWidget(new QLabel(QStringLiteral("Disks"), inScreen));
    (new QVBoxLayout(screen))->addWidget(inScreen);
    // A screen's page in a window that only has a title.
    auto* inWindow = QKBuild::plainScroll(new QScrollArea(&window.widget));
    inWindow->setWidget(new QLabel(QStringLiteral("Disks"), inWindow));
    // Named by its maker.
    auto* named = QKBuild::plainScroll(new QScrollArea(screen));
    named->setAccessibleName(QStringLiteral("Biggest files"));
    screen->layout()->addWidget(named);
    // Made by hand around an unnamed page: nothing says what it shows.
    auto* bare = new QScrollArea(&window.widget);
    bare->setObjectName(QStringLiteral("bare"));
    bare->setWidget(new QLabel(QStringLiteral("Disks"), bare));
    for (QWidget* w : std::initializer_list<QWidget*>{form, screen, inWindow, bare})
        window.column->addWidget(w);
    window.show();

    EXPECT_EQ(readName(form), "Settings");
    EXPECT_EQ(readName(inScreen), "Storage");
    EXPECT_EQ(readName(inWindow), "Pendrel");
    EXPECT_EQ(readName(named), "Biggest files");
    EXPECT_EQ(testsupport::scrollAreaProblems(&window.widget),
              QStringList{"QScrollArea#bare (Client): scroll area without a name"});

    // A screen named after it was built is read by its new name at its next showing.
    screen->hide();
    screen->setAccessibleName(QStringLiteral("Disk"));
    screen->show();
    QApplication::processEvents();
    EXPECT_EQ(readName(inScreen), "Disk");
}
