#pragma once

#include <QString>

struct StartupItem;

// The words of the startup items service and screen.
namespace StartupItemsText {

// Scopes, shown as they are.
QString yourLogin();
QString allUsers();
QString system();

QString title();
QString headline();
QString explanation();
QString reading();
QString emptyTitle();
QString emptyMessage();
QString reveal();
QString locked();
QString alertTitle();

// The service's answers to a switch it will not or cannot make.
QString notChangeable();
QString offInItsOwnFile();
QString trashFailed();

// The second line of a row: the program, or the file's name (extension included) when the item
// names none.
QString detailLine(const StartupItem& item);
// The third line: the scope, and " · off" when the item will not start.
QString scopeLine(const StartupItem& item);

} // namespace StartupItemsText
