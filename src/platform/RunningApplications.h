#pragma once

#include <memory>
#include <QList>
#include <QString>

// One application with windows on the user's desktop, as the running-applications list sees it.
struct RunningApplication {
    // The process that owns the application's windows; what ties the application to its row in
    // the process lists, whatever either is named.
    qint64 pid = 0;
    // The name people know the application by; empty when the application has none. Nameless
    // applications can never be suggested or asked to quit by name.
    QString localizedName;
    // True for an ordinary application the user switches to (one with a task-bar entry); false
    // for panels, docks, desktops and other helpers.
    bool regular = false;
    // True when the application owns the focused window.
    bool active = false;
    // True once the application has gone; such entries may linger briefly in a list.
    bool terminated = false;
};

// The system's list of running applications and the polite way to ask one to quit.
//
// Lives on the main thread; every call returns promptly and none throws. A system without a
// desktop to ask (no display, for instance) lists nothing and has no frontmost application. The
// list never holds this process itself, and nothing here ever forces a process to end.
class RunningApplications {
public:
    virtual ~RunningApplications() = default;

    // The applications in the platform's order (oldest first where the platform says so).
    virtual QList<RunningApplication> applications() = 0;

    // The name of the application the user is working in; empty when there is none or it has no
    // name.
    virtual QString frontmostApplicationName() = 0;

    // Asks the application to quit the way the user's own close command would, so it can still
    // ask about unsaved work or refuse. True when the request was delivered; the application's
    // answer is not awaited. False when there was nothing to ask (it has gone, or it is this
    // process) or the request could not be sent.
    virtual bool requestQuit(const RunningApplication& application) = 0;

    // The desktop's list for this machine (X11 where a display is reachable, otherwise empty).
    static std::shared_ptr<RunningApplications> system();
};
