#pragma once

#include "shell/ScreenState.h"

#include <QObject>
#include <QSet>
#include <QString>

// Which pair of ScreenState fields holds one cleaner's ticked category ids and its last result
// line, so a cleaner pane binds to them without knowing which cleaner it shows. The members are
// ScreenState's own accessors, setters and change signals; the pane reads, writes and follows
// the fields only through these.
struct CleanerStateFields {
    using OptionalString = ScreenState::OptionalString;

    const QSet<QString>& (ScreenState::*selected)() const;
    void (ScreenState::*setSelected)(const QSet<QString>&);
    void (ScreenState::*selectedChanged)(const QSet<QString>&);
    const OptionalString& (ScreenState::*result)() const;
    void (ScreenState::*setResult)(const OptionalString&);
    void (ScreenState::*resultChanged)(const OptionalString&);

    // diskSelected / diskResult: the system-junk cleaner.
    static CleanerStateFields system() {
        return {&ScreenState::diskSelected,        &ScreenState::setDiskSelected,
                &ScreenState::diskSelectedChanged, &ScreenState::diskResult,
                &ScreenState::setDiskResult,       &ScreenState::diskResultChanged};
    }
    // mailSelected / mailResult.
    static CleanerStateFields mail() {
        return {&ScreenState::mailSelected,        &ScreenState::setMailSelected,
                &ScreenState::mailSelectedChanged, &ScreenState::mailResult,
                &ScreenState::setMailResult,       &ScreenState::mailResultChanged};
    }
    // screenshotSelected / screenshotResult.
    static CleanerStateFields screenshots() {
        return {&ScreenState::screenshotSelected,        &ScreenState::setScreenshotSelected,
                &ScreenState::screenshotSelectedChanged, &ScreenState::screenshotResult,
                &ScreenState::setScreenshotResult,       &ScreenState::screenshotResultChanged};
    }
    // devSelected / devResult: the developer caches.
    static CleanerStateFields developer() {
        return {&ScreenState::devSelected,        &ScreenState::setDevSelected,
                &ScreenState::devSelectedChanged, &ScreenState::devResult,
                &ScreenState::setDevResult,       &ScreenState::devResultChanged};
    }
};
