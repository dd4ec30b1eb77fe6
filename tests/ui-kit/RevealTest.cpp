// Revealing from a control: a desktop where nothing can show the file says so at the control the
// user clicked, for a few seconds, and says nothing when the file was shown.
#include "fakes/FakeFileRevealer.h"
#include "ui-kit/QKReveal.h"
#include "ui-kit/QKTransientNote.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct Window {
    QWidget window;
    QPushButton* top;
    QPushButton* bottom;
    Window() {
        window.resize(500, 400);
        auto* column = new QVBoxLayout(&window);
        top = new QPushButton(QStringLiteral("Show"), &window);
        bottom = new QPushButton(QStringLiteral("Show"), &window);
        column->addWidget(top, 0, Qt::AlignLeft);
        column->addStretch(1);
        column->addWidget(bottom, 0, Qt::AlignRight);
        window.show();
        QApplication::processEvents();
    }
};

} // namespace

TEST(Reveal, SaysNothingWhenTheFileWasShownAndTheLineAtTheControlWhenNot) {
    Window w;
    FakeFileRevealer revealer;
    QKReveal::reveal(&revealer, QStringLiteral("/data/a.txt"), w.top);
    EXPECT_EQ(revealer.revealed, QStringList{"/data/a.txt"});
    EXPECT_EQ(QKTransientNote::shownIn(&w.window), nullptr);

    revealer.refuses = true;
    QKReveal::reveal(&revealer, QStringLiteral("/data/a.txt"), w.top);
    QPointer<QKTransientNote> note = QKTransientNote::shownIn(&w.window);
    ASSERT_TRUE(note);
    EXPECT_EQ(note->text(), QString("Couldn't open a file manager to show this."));
    // What a reader announces as it comes into view: a notification that reads the line.
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(note.data());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->role(), QAccessible::Notification);
    EXPECT_EQ(read->text(QAccessible::Name), note->text());
    EXPECT_FALSE(read->state().invisible);
    EXPECT_EQ(note->anchor(), w.top);
    EXPECT_TRUE(note->isVisible());
    // Just under the control, inside the window.
    const QRect button(w.top->mapTo(&w.window, QPoint(0, 0)), w.top->size());
    EXPECT_GT(note->y(), button.bottom());
    EXPECT_LT(note->y() - button.bottom(), 12);
    EXPECT_TRUE(w.window.rect().contains(note->geometry()));

    // A second refusal elsewhere replaces it; a control at the bottom gets it above itself.
    QKReveal::reveal(&revealer, QStringLiteral("/data/b.txt"), w.bottom);
    QKTransientNote* second = QKTransientNote::shownIn(&w.window);
    ASSERT_TRUE(second);
    EXPECT_NE(second, note);
    EXPECT_EQ(second->anchor(), w.bottom);
    EXPECT_TRUE(!note || !note->isVisible());
    EXPECT_LT(second->geometry().bottom(), w.bottom->mapTo(&w.window, QPoint(0, 0)).y());
    EXPECT_TRUE(w.window.rect().contains(second->geometry()));
}

TEST(Reveal, TheLinePointsAtARowOfAListAndGoesAway) {
    Window w;
    FakeFileRevealer revealer;
    revealer.refuses = true;
    const QRect row(0, 40, 200, 20);
    QKReveal::reveal(&revealer, QStringLiteral("/data/a.txt"), &w.window, row);
    QKTransientNote* note = QKTransientNote::shownIn(&w.window);
    ASSERT_TRUE(note);
    EXPECT_GT(note->y(), row.bottom());
    EXPECT_LT(note->y(), row.bottom() + 12);

    // A click dismisses it.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), note->mapToGlobal(QPointF(2, 2)),
                      Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(note, &press);
    EXPECT_EQ(QKTransientNote::shownIn(&w.window), nullptr);

    // So does hiding the control it points at.
    QKReveal::reveal(&revealer, QStringLiteral("/data/a.txt"), w.top);
    ASSERT_TRUE(QKTransientNote::shownIn(&w.window));
    w.top->hide();
    EXPECT_EQ(QKTransientNote::shownIn(&w.window), nullptr);
}

TEST(Reveal, ALateRefusalForAControlThatIsGoneShowsNothing) {
    Window w;
    FakeFileRevealer revealer;
    revealer.refuses = true;
    revealer.holds = true;
    QKReveal::reveal(&revealer, QStringLiteral("/data/a.txt"), w.top);
    delete w.top;
    revealer.answerHeld();
    EXPECT_EQ(QKTransientNote::shownIn(&w.window), nullptr);

    // A null revealer asks nothing and says nothing.
    QKReveal::reveal(nullptr, QStringLiteral("/data/a.txt"), w.bottom);
    EXPECT_EQ(QKTransientNote::shownIn(&w.window), nullptr);
}
