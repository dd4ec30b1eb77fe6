#pragma once

#include <QObject>
#include <QString>

// One assertion held against sleep. id 0 means "none".
struct PowerAssertion {
    quint32 id = 0;
    // True when this assertion also keeps the display from sleeping.
    bool keepsDisplayAwake = false;
    bool isValid() const { return id != 0; }
};

// The system's power management, as far as keep-awake needs it: named assertions that keep the
// machine (and optionally the display) awake, and word that the machine came back from sleep.
// Lives on the main thread; every call returns promptly (a backend that talks to another
// process bounds each call by a short timeout and treats silence as a refusal).
class PowerInhibitor : public QObject {
    Q_OBJECT
public:
    enum class Kind {
        IdleSleep,    // the machine stays awake; the display may sleep
        DisplaySleep, // the machine and the display stay awake
    };

    using QObject::QObject;

    // Takes a new assertion labelled `name`, alongside any already held: callers that replace
    // an assertion take the new one first and release the old one only after a success, so the
    // machine is never left unprotected in between. Gives an invalid assertion when the system
    // refused to keep the machine awake. For DisplaySleep the system may keep the machine awake
    // yet refuse the display part; the assertion is then valid with keepsDisplayAwake false.
    virtual PowerAssertion acquire(Kind kind, const QString& name) = 0;

    // Lets an assertion go. Ids that are 0, unknown or already released are ignored.
    virtual void release(quint32 id) = 0;

signals:
    // The machine has just woken from sleep.
    void systemWoke();
};
