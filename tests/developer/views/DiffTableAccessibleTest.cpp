#include "developer/views/DiffTableAccessible.h"
#include "developer/DiffRowModel.h"
#include "developer/FileCompare.h"
#include "developer/views/DiffListView.h"
#include "developer/views/FileCompareView.h"
#include "fakes/FakeLanguageModel.h"
#include "platform/LinuxDocumentText.h"
#include "shell/ScreenState.h"
#include "support/Find.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QListView>

namespace {

// Rows cycling through the four kinds, numbered the way a line diff numbers them: an added row
// has no first-file line, a removed one no second-file line.
QList<DiffRow> rows(int count) {
    QList<DiffRow> out;
    out.reserve(count);
    qint64 left = 0, right = 0;
    for (int i = 0; i < count; ++i) {
        DiffRow row;
        row.id = i;
        row.kind = DiffRow::Kind(i % 4);
        if (row.kind != DiffRow::Kind::Added) {
            row.leftNumber = ++left;
            row.leftText = QStringLiteral("old %1").arg(i);
        }
        if (row.kind != DiffRow::Kind::Removed) {
            row.rightNumber = ++right;
            row.rightText =
                row.kind == DiffRow::Kind::Same ? row.leftText : QStringLiteral("new %1").arg(i);
        }
        out.append(row);
    }
    return out;
}

struct List {
    DiffRowModel model;
    DiffListView view;

    explicit List(int count) {
        model.setRows(rows(count));
        view.setModel(&model);
        view.resize(600, 400);
        view.show();
    }
    QAccessibleInterface* iface() { return QAccessible::queryAccessibleInterface(&view); }
    DiffTableAccessible* table() { return dynamic_cast<DiffTableAccessible*>(iface()); }
    QString cell(int row, int column) {
        QAccessibleInterface* c = iface()->tableInterface()->cellAt(row, column);
        return c ? c->text(QAccessible::Name) : QStringLiteral("<none>");
    }
};

} // namespace

TEST(DiffTableAccessible, ALargeDiffIsATableWhoseCellsAreMadeOnlyWhenRead) {
    List list(20'000);
    QAccessibleInterface* iface = list.iface();
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Table);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Differences"));
    QAccessibleTableInterface* table = iface->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 20'000);
    EXPECT_EQ(table->columnCount(), 3);
    EXPECT_EQ(iface->childCount(), 60'000);
    EXPECT_EQ(table->columnDescription(1), QStringLiteral("First file"));
    // Asking for the table and its size made no cell.
    EXPECT_EQ(list.table()->cellsMade(), 0);

    // Row 19,998 is removed: the 14,999th first-file line, no second-file line.
    EXPECT_EQ(list.cell(19'998, 0), QStringLiteral("Removed"));
    EXPECT_EQ(list.cell(19'998, 1), QStringLiteral("Line 14999: old 19998"));
    EXPECT_EQ(list.cell(19'998, 2), QString());
    EXPECT_EQ(list.cell(19'999, 0), QStringLiteral("Changed"));
    EXPECT_EQ(list.cell(19'999, 2), QStringLiteral("Line 15000: new 19999"));
    EXPECT_EQ(table->rowDescription(19'996), QStringLiteral("Unchanged"));
    EXPECT_EQ(list.cell(20'000, 0), QStringLiteral("<none>"));
    EXPECT_EQ(list.table()->cellsMade(), 5);

    // A cell keeps its identity while the rows stay, and knows its place.
    QAccessibleInterface* cell = table->cellAt(19'998, 1);
    EXPECT_EQ(cell, table->cellAt(19'998, 1));
    EXPECT_EQ(iface->indexOfChild(cell), 19'998 * 3 + 1);
    EXPECT_EQ(iface->child(19'998 * 3 + 1), cell);
    EXPECT_EQ(cell->tableCellInterface()->rowIndex(), 19'998);
    EXPECT_EQ(cell->parent(), iface);
    EXPECT_EQ(cell->role(), QAccessible::Cell);
    EXPECT_TRUE(cell->state().offscreen); // far below the visible rows
    EXPECT_FALSE(table->cellAt(0, 1)->state().offscreen);
}

TEST(DiffTableAccessible, NewRowsDropTheCellsReadBeforeAndReadAsTheNewDiff) {
    List list(100);
    EXPECT_EQ(list.cell(90, 1), QStringLiteral("Line 68: old 90"));
    const QAccessible::Id before =
        QAccessible::uniqueId(list.iface()->tableInterface()->cellAt(90, 1));
    list.model.setRows(rows(10));
    EXPECT_EQ(list.table()->cellsMade(), 0);
    EXPECT_EQ(QAccessible::accessibleInterface(before), nullptr);
    EXPECT_EQ(list.iface()->tableInterface()->rowCount(), 10);
    EXPECT_EQ(list.cell(90, 1), QStringLiteral("<none>"));
    EXPECT_EQ(list.cell(1, 0), QStringLiteral("Added"));
    EXPECT_EQ(list.cell(1, 1), QString());
    EXPECT_EQ(list.cell(1, 2), QStringLiteral("Line 2: new 1"));
}

TEST(DiffTableAccessible, TheCompareScreensDiffListIsTheTable) {
    ScreenState state;
    FakeLanguageModel model;
    FileCompare compare{state, model, std::make_shared<LinuxDocumentText>()};
    FileCompareView view(state, compare);
    state.setCompareRows(rows(8));
    QAccessibleInterface* iface =
        QAccessible::queryAccessibleInterface(Find::part<QListView>(view, "diffList"));
    ASSERT_NE(iface, nullptr);
    ASSERT_NE(iface->tableInterface(), nullptr);
    EXPECT_EQ(iface->tableInterface()->rowCount(), 8);
    EXPECT_EQ(iface->tableInterface()->cellAt(7, 2)->text(QAccessible::Name),
              QStringLiteral("Line 6: new 7"));
}
