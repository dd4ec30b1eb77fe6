#pragma once

#include <QString>

// Local notifications shown by the desktop: a title, a body and the default sound, delivered
// at once. Posting never fails for the caller: a desktop that shows nothing (no notification
// service, no bus) simply shows nothing.
class UserNotifier {
public:
    struct Request {
        // The caller's own name for this notification (unique per post); kept for the record,
        // since the desktop hands out ids of its own.
        QString identifier;
        QString title;
        QString body;
        bool playSound = true;
    };

    virtual ~UserNotifier() = default;
    // Asks to be allowed to show notifications; the answer is not reported.
    virtual void requestPermission() = 0;
    virtual void post(const Request& request) = 0;
};
