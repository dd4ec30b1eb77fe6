#pragma once

#include "home/HealthCheck.h"
#include "home/HomeTone.h"
#include "home/IssueSeverity.h"

#include <QList>
#include <QString>

class NotificationCenter;
class ScreenState;
struct SystemSnapshot;

// One recommendation of the home screen: a problem, why it matters, what leaving it costs, and
// the section that deals with it.
struct RecCard {
    QString id; // the rule: "junk", "mem", "heat", "warm", "disk" or "big"; unique in a list
    QString icon;
    QString title;
    QString why;
    QString ifIgnored;
    QString actionTitle;
    QString featureID; // the section its button opens
    IssueSeverity severity = IssueSeverity::Good;

    bool operator==(const RecCard&) const = default;
};

// Today's recommendations, derived afresh from a sample and the health check's two
// measurements; nothing about them is stored or dismissed.
namespace Recommendations {

// The rules run in order junk, memory, heat (or warm), storage, large files, each adding at
// most one card; the list is then sorted most severe first (stable, so equal severities keep
// rule order) and cut to three. A measurement that is not done adds nothing.
QList<RecCard> make(const SystemSnapshot& snapshot, const HealthCheck::Status& junk,
                    const HealthCheck::Status& bigFiles);

// Opens the card's section: first the destination's mode is written (junk → the storage hub's
// safe cleanup, disk → its growth pane, big → the folders' biggest files; the rest set none),
// then Notifications::OpenSection is posted with the card's featureID. Main thread only.
void open(const RecCard& card, ScreenState& screen, NotificationCenter& center);

// The card's tint: good green, watch the accent, act orange.
HomeTone tone(IssueSeverity severity);

} // namespace Recommendations
