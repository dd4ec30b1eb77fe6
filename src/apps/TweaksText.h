#pragma once

#include <QString>

// The words of the tweaks screen and service.
namespace TweaksText {

QString title();
QString reading();
QString introduction();
QString restoreButton();
QString restoreNote();
QString alertTitle();
// The third line of a row whose setting was written for a program that rereads it only when it
// starts: switching restarts nothing here, and the row says so.
QString noRestartLine();
// What the error alert says when the defaults tool refused a change without saying why.
QString changeNotSaved();

} // namespace TweaksText
