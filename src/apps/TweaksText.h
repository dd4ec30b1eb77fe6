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
// The line under the introduction: where the switches are kept, and that the desktop is not
// changed by them.
QString storeLine();
// What the error alert says when the defaults tool (named by its file name) could not be started
// at all: it is not where the app was installed, or cannot be run.
QString toolMissing(const QString& tool);
// What the error alert says when the defaults tool refused a change without saying why.
QString changeNotSaved();

} // namespace TweaksText
