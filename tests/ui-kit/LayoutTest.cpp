#include "ui-kit/QKLayout.h"

#include "ui-kit/QKGridLayout.h"

#include <memory>
#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace QKLayout;

// A declared tree comes out as the layout written by hand would: insets and spacing only where
// given, parts with their stretch and alignment, stretches and gaps in order, nested boxes with
// their own stretch.
TEST(QKLayout, BuildsTheBoxesItStates) {
    QWidget owner;
    QLabel* title = nullptr;
    QLabel* side = nullptr;
    QBoxLayout* root =
        column({16, 8, 16, 8}, 10,
               {
                   part(title = new QLabel(QStringLiteral("Title"), &owner)).stretch(2),
                   row(6, {part(side = new QLabel(&owner)).align(Qt::AlignTop), stretch(3)})
                       .stretch(1),
                   space(12),
                   flushRow({new QLabel(&owner)}),
               })
            .on(&owner);

    ASSERT_EQ(owner.layout(), root);
    EXPECT_EQ(root->direction(), QBoxLayout::TopToBottom);
    EXPECT_EQ(root->contentsMargins(), QMargins(16, 8, 16, 8));
    EXPECT_EQ(root->spacing(), 10);
    ASSERT_EQ(root->count(), 4);
    EXPECT_EQ(root->itemAt(0)->widget(), title);
    EXPECT_EQ(root->stretch(0), 2);
    EXPECT_EQ(root->stretch(1), 1);
    EXPECT_EQ(root->itemAt(2)->spacerItem()->sizeHint().height(), 12);

    auto* nested = qobject_cast<QBoxLayout*>(root->itemAt(1)->layout());
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->direction(), QBoxLayout::LeftToRight);
    // Unset stays unset: a plain nested layout has no insets and takes its parent's spacing.
    EXPECT_EQ(nested->contentsMargins(), QMargins());
    EXPECT_EQ(nested->spacing(), 6);
    EXPECT_EQ(nested->itemAt(0)->widget(), side);
    EXPECT_EQ(nested->itemAt(0)->alignment(), Qt::AlignTop);
    EXPECT_EQ(nested->stretch(1), 3);
    EXPECT_NE(nested->itemAt(1)->spacerItem(), nullptr);

    auto* flush = qobject_cast<QBoxLayout*>(root->itemAt(3)->layout());
    ASSERT_NE(flush, nullptr);
    EXPECT_EQ(flush->spacing(), 0);

    QVBoxLayout plain;
    const std::unique_ptr<QBoxLayout> unset(column({}).make());
    EXPECT_EQ(unset->spacing(), plain.spacing());
}

// Each part is styled, named and labelled as it is placed; a label's buddy may be written before
// the field it names, and a panel holds a box of its own.
TEST(QKLayout, SetsWhatEachPartIsGiven) {
    QWidget owner;
    QLabel* label = nullptr;
    QLineEdit* field = nullptr;
    QWidget* panel = nullptr;
    QLabel* inner = nullptr;
    column({
               part(label = new QLabel(QStringLiteral("Name"), &owner))
                   .font(TextStyle::Caption, QFont::DemiBold)
                   .ink(QKForeground::Secondary)
                   .buddy(QStringLiteral("nameField")),
               part(field = new QLineEdit(&owner))
                   .name(QStringLiteral("nameField"))
                   .accessibleName(QStringLiteral("Name")),
               part(panel = new QWidget(&owner))
                   .name(QStringLiteral("panel"))
                   .holding(flushColumn({inner = new QLabel(panel)})),
           })
        .on(&owner);

    EXPECT_EQ(label->buddy(), field);
    EXPECT_EQ(field->accessibleName(), QStringLiteral("Name"));
    const std::optional<QKFont> font = QKFont::of(label);
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->style, TextStyle::Caption);
    EXPECT_EQ(font->weight, QFont::DemiBold);
    EXPECT_EQ(label->palette().color(QPalette::WindowText),
              QKForeground::color(QKForeground::Secondary, owner.palette()));
    ASSERT_NE(panel->layout(), nullptr);
    EXPECT_EQ(panel->layout()->itemAt(0)->widget(), inner);
    EXPECT_EQ(panel->layout()->contentsMargins(), QMargins());
}

// Parts added to a page's column go before its closing stretch, in order; a run of items joins
// the box around it instead of making one, and a kept box is handed out as made.
TEST(QKLayout, FillsAPageBeforeItsStretch) {
    QWidget owner;
    auto* page = new QVBoxLayout(&owner);
    page->addStretch(1);
    auto* first = new QLabel(&owner);
    auto* second = new QLabel(&owner);
    auto* third = new QLabel(&owner);
    QBoxLayout* kept = nullptr;
    column({first, items({second, third}), row({}).keep(kept)}).fillPage(page);
    ASSERT_EQ(page->count(), 5);
    EXPECT_EQ(page->itemAt(0)->widget(), first);
    EXPECT_EQ(page->itemAt(1)->widget(), second);
    EXPECT_EQ(page->itemAt(2)->widget(), third);
    EXPECT_EQ(page->itemAt(3)->layout(), kept);
    EXPECT_NE(page->itemAt(4)->spacerItem(), nullptr);
}

// The two grids of a tree: a table whose cells line up (a part may span columns, a box fills a
// cell, a short row leaves its last cells empty), a form whose names are their values' buddies
// and whose values take the spare width, and tiles that flow into columns in reading order.
TEST(QKLayout, BuildsGridsFormsAndTiles) {
    QWidget owner;
    QLabel* wide = nullptr;
    QLabel* corner = nullptr;
    QGridLayout* table = nullptr;
    column({part(wide = new QLabel(&owner)).span(2).align(Qt::AlignLeft),
            grid(16, 6, {{part(corner = new QLabel(&owner)), row({new QLabel(&owner)})}})
                .keep(table)
                .stretchColumn(1, 1)})
        .on(&owner);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->horizontalSpacing(), 16);
    EXPECT_EQ(table->verticalSpacing(), 6);
    EXPECT_EQ(table->itemAtPosition(0, 0)->widget(), corner);
    EXPECT_NE(table->itemAtPosition(0, 1)->layout(), nullptr);
    EXPECT_EQ(table->columnStretch(1), 1);

    QWidget sheet;
    QLabel* name = nullptr;
    QLineEdit* value = nullptr;
    QLabel* spanning = nullptr;
    const QGridLayout* made = form(16, 6,
                                   {{part(name = new QLabel(QStringLiteral("Storage"), &sheet)),
                                     part(value = new QLineEdit(&sheet))},
                                    {part(spanning = new QLabel(&sheet)).span(2)}})
                                  .on(&sheet);
    EXPECT_EQ(name->buddy(), value);
    EXPECT_EQ(made->itemAtPosition(0, 1)->widget(), value);
    EXPECT_EQ(made->itemAtPosition(1, 1)->widget(), spanning); // one cell over both columns
    EXPECT_EQ(made->columnStretch(1), 1);
    EXPECT_EQ(made->columnStretch(0), 0);

    QWidget hub;
    QKGridLayout* cards = nullptr;
    Tiles strip = tiles(220, 14);
    QWidget* first = new QWidget(&hub);
    QWidget* second = new QWidget(&hub);
    strip.add(first).add(second).keep(cards);
    column({strip}).on(&hub);
    ASSERT_NE(cards, nullptr);
    EXPECT_EQ(cards->minColumnWidth(), 220);
    ASSERT_EQ(cards->count(), 2);
    EXPECT_EQ(cards->itemAt(0)->widget(), first);
    EXPECT_EQ(cards->itemAt(1)->widget(), second);
}
