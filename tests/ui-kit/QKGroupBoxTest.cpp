// The kit's group box: a title over a padded card whose column callers fill.
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKLayout.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

TEST(QKGroupBox, TheTitleStandsOverTheCardAndItsPartsArePaddedInsideIt) {
    QWidget host;
    auto* box = new QKGroupBox(QStringLiteral("Storage"), 8, &host);
    QLabel* first = box->addLabel(QStringLiteral("Free space"), TextStyle::Body,
                                  QKForeground::Primary, QStringLiteral("firstLine"));
    auto* second = new QLabel(QStringLiteral("Purgeable"), box->card());
    QKLayout::items({QKLayout::part(second)}).fill(box->column());
    host.resize(400, 300);
    // Exactly the height the parts need at this width, so the card ends at its bottom inset.
    box->resize(400,
                box->hasHeightForWidth() ? box->heightForWidth(400) : box->sizeHint().height());
    host.show();
    QApplication::processEvents();

    auto* title = box->findChild<QLabel*>(QStringLiteral("groupTitle"));
    ASSERT_TRUE(title);
    EXPECT_EQ(title->text(), "Storage");
    EXPECT_EQ(title->geometry().bottom() + 1 + 6, box->card()->geometry().top())
        << "six points between the title and its card";
    EXPECT_EQ(box->column()->parentWidget(), box->card());
    EXPECT_EQ(first->objectName(), "firstLine");
    EXPECT_EQ(first->parentWidget(), box->card());
    EXPECT_EQ(first->geometry().topLeft(), QPoint(14, 12));
    EXPECT_EQ(second->geometry().top(), first->geometry().bottom() + 1 + 8)
        << "the spacing asked for, between the parts in the order they were added";
    EXPECT_EQ(box->card()->height() - 1 - second->geometry().bottom(), 12);
}

TEST(QKGroupBox, AnUntitledBoxIsTheCardAlone) {
    QWidget host;
    auto* box = new QKGroupBox(QString(), 6, &host);
    box->addLabel(QStringLiteral("Only line"), TextStyle::Body, QKForeground::Primary);
    box->resize(300, box->sizeHint().height());
    host.show();
    QApplication::processEvents();
    EXPECT_FALSE(box->findChild<QLabel*>(QStringLiteral("groupTitle")));
    EXPECT_EQ(box->card()->geometry().topLeft(), QPoint(0, 0));
}
