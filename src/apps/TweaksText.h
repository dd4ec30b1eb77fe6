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
// The third line of a row whose switch restarts a process: "Restarts Finder briefly when
// changed."
QString restartLine(const QString& processName);
// What the error alert says when the defaults tool refused a change without saying why.
QString changeNotSaved();

} // namespace TweaksText
