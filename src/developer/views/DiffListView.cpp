#include "developer/views/DiffListView.h"

#include "developer/views/DiffTableAccessible.h"

DiffListView::DiffListView(QWidget* parent) : QListView(parent) {
    DiffTableAccessible::installFactory();
}
