// What the kit does when the room runs out (the largest text in a small window): a cut line
// offers its whole text, segments wrap instead of losing their padding, and a row of parts stacks
// instead of squeezing them.
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/SegmentedControl.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QBoxLayout>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

// What the label offers when the pointer rests on it: the tooltip shown, or nothing when the
// label declines the request.
QString tipOf(QWidget* w) {
    // Shown at once, not faded in.
    QApplication::setEffectEnabled(Qt::UI_FadeTooltip, false);
    QApplication::setEffectEnabled(Qt::UI_AnimateTooltip, false);
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(w, &help);
    return help.isAccepted() && QToolTip::isVisible() ? QToolTip::text() : QString();
}

} // namespace

TEST(NarrowRoom, ACutLineOffersItsWholeTextAsItsTooltip) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* label = new QKLineLabel(QStringLiteral("/home/me/Documents/report-final.pdf"), &window);
    layout->addWidget(label);
    window.setFixedWidth(90);
    window.show();
    QApplication::processEvents();
    ASSERT_NE(label->displayedText(), label->text());
    EXPECT_EQ(tipOf(label), "/home/me/Documents/report-final.pdf");

    // Whole again: no tooltip repeats what is already shown.
    label->setText(QStringLiteral("a.pdf"));
    QApplication::processEvents();
    EXPECT_EQ(tipOf(label), QString());
    // A tooltip of its own wins over the whole text.
    label->setText(QStringLiteral("/home/me/Documents/report-final.pdf"));
    label->setToolTip(QStringLiteral("Where the file lies"));
    EXPECT_EQ(tipOf(label), "Where the file lies");
    QToolTip::hideText();
}

TEST(NarrowRoom, SegmentsWrapOntoMoreLinesKeepingTheirPadding) {
    const QStringList labels = {"Overview",    "Safe cleanup", "Mail",     "Where did it go?",
                                "Screenshots", "Disk Map",     "Organizer"};
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* picker = new SegmentedControl(labels, &window);
    layout->addWidget(picker);
    layout->addStretch(1);
    window.show();
    QApplication::processEvents();
    const QFontMetrics fm(picker->font());
    const int oneLine = fm.height() + 2 * 4 + 2 * 2;

    for (int width : {picker->sizeHint().width(), picker->sizeHint().width() * 2 / 3,
                      picker->sizeHint().width() / 3}) {
        window.setFixedWidth(width + layout->contentsMargins().left() +
                             layout->contentsMargins().right());
        QApplication::processEvents();
        ASSERT_EQ(picker->width(), width);
        QList<QRect> placed;
        for (int i = 0; i < picker->count(); ++i) {
            const QRect r = picker->segmentRect(i);
            // Room for the label and its padding on both sides, inside the control.
            EXPECT_GE(r.width(), fm.horizontalAdvance(labels.at(i)) + 2 * 12) << width << " " << i;
            EXPECT_TRUE(picker->rect().contains(r)) << width << " " << i;
            for (const QRect& other : placed)
                EXPECT_FALSE(r.intersects(other)) << width << " " << i;
            placed << r;
        }
        // On one line where it fits, otherwise taller by whole lines.
        if (width == picker->sizeHint().width())
            EXPECT_EQ(picker->height(), oneLine);
        else
            EXPECT_GT(picker->height(), oneLine);
        EXPECT_EQ((picker->height() - oneLine) % (oneLine - 4), 0) << width;
    }
}

TEST(NarrowRoom, ARowThatStacksWhenNarrowKeepsItsPartsWhole) {
    using namespace QKLayout;
    QWidget window;
    QWidget* bar = nullptr;
    QLabel* title = nullptr;
    QPushButton* first = nullptr;
    QPushButton* second = nullptr;
    QPushButton* third = nullptr;
    QBoxLayout* box = nullptr;
    flushColumn(
        {part(bar = new QWidget(&window))
             .holding(
                 row({0, 0, 0, 0}, 10,
                     {part(title = new QLabel("Biggest files", bar)).stretch(1).with([](QLabel* l) {
                          l->setWordWrap(true);
                      }),
                      part(first = new QPushButton("Choose a folder", bar)),
                      part(second = new QPushButton("Only old files", bar)),
                      part(third = new QPushButton("Move to Trash", bar))})
                     .keep(box)
                     .stacksWhenNarrow(120)),
         stretch(1)})
        .on(&window);
    window.resize(1000, 300);
    window.show();
    QApplication::processEvents();
    const int needed = first->sizeHint().width() + second->sizeHint().width() +
                       third->sizeHint().width() + 3 * 10 + 120;
    window.resize(needed, 300);
    QApplication::processEvents();
    EXPECT_EQ(box->direction(), QBoxLayout::LeftToRight);
    EXPECT_EQ(first->y(), third->y());

    window.resize(needed - 1, 300);
    QApplication::processEvents();
    EXPECT_EQ(box->direction(), QBoxLayout::TopToBottom);
    for (QPushButton* b : {first, second, third})
        EXPECT_GE(b->width(), b->sizeHint().width());
    EXPECT_GE(second->y(), first->y() + first->height());
    EXPECT_GE(third->y(), second->y() + second->height());

    // A part that goes leaves room: the row comes back.
    third->hide();
    QApplication::processEvents();
    EXPECT_EQ(box->direction(), QBoxLayout::LeftToRight);
}
