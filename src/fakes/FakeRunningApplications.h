#pragma once

#include "platform/RunningApplications.h"

#include <QList>
#include <QString>

// A scripted running-applications list. Nothing is ever asked of a real process: quit requests
// are only recorded (by pid), and the answer to them is `deliverQuit`.
class FakeRunningApplications final : public RunningApplications {
public:
    QList<RunningApplication> apps;
    QString frontmost;
    bool deliverQuit = true;
    QList<qint64> quitRequests;
    int listReads = 0;

    QList<RunningApplication> applications() override {
        ++listReads;
        return apps;
    }
    QString frontmostApplicationName() override { return frontmost; }
    bool requestQuit(const RunningApplication& application) override {
        quitRequests.append(application.pid);
        return deliverQuit;
    }

    // A regular, inactive, running application.
    static RunningApplication app(const QString& name, qint64 pid) {
        RunningApplication a;
        a.pid = pid;
        a.localizedName = name;
        a.regular = true;
        return a;
    }
};
