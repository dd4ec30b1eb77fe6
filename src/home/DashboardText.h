#pragma once

#include "home/HealthCheck.h"
#include "home/HomeTone.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

struct SystemSnapshot;

// What the home screen's header says: the status of the Mac from its headroom score, the
// greeting, the count of today's recommendations and when the last check ran. Pure functions,
// so every cut point can be checked without a widget.
namespace DashboardText {

struct Status {
    QString text;
    QString symbol;
    HomeTone tone = HomeTone::Green;
    int level = 0; // 0 healthy, 1 minor, 2 review, 3 urgent

    bool operator==(const Status&) const = default;
};

// By headroom score, each bound inclusive: 85 and up healthy (green), 70 minor (yellow),
// 45 review (orange), below urgent (red).
Status status(int score);

// What the live figures say on the status scale, as the at-a-glance tiles and the sidebar's dot
// show them: 3 when a tile is red or the snapshot's headline is hot, 2 when a tile is orange or
// the headline strained, else 0 (a grey tile is not yet measured, not a problem).
int liveLevel(const SystemSnapshot& snapshot);
// The header's status: the score's, unless the live level beside it is worse, in which case the
// row of that level. So the header never calls the Mac healthy while a tile or the dot says it
// is working hard, and the count line (which takes this level) never says the vitals look good.
Status status(int score, int liveLevel);

// "morning" before 12, "afternoon" from 12 to 17, "evening" from 18 (hour 0–23).
QString greetingWord(int hour);
// The first word of a full name (blanks around it trimmed, runs of spaces as one); "there"
// when the name has none.
QString firstName(const QString& fullName);
// "Good morning, Ana".
QString greeting(int hour, const QString& fullName);

// Today's check is complete when both measurements are done; failed, checking or never run
// leaves it incomplete.
bool hasCompletedCheck(const HealthCheck::Status& junk, const HealthCheck::Status& bigFiles);

// The sentence under the status: how many cards there are, or with none, what the live vitals
// (level 0 looks good, any other needs attention) and today's check say.
QString countLine(int cards, bool checkComplete, int level);

// "Last checked 14:05": the time of the moment in the locale's short form, seconds left out.
QString lastCheckedLine(const QDateTime& when, const QLocale& locale = QLocale());

// The question the home screen's ask strip offers and its placeholder.
QString askPrompt();
QString askQuestion();

// The recommendations' heading, "What deserves your attention".
QString attentionTitle();
// What stands in for the recommendations while there are none: "Nothing needs you today." once
// today's check is complete, else the invitation to complete it, with its "Check now" button.
// level is the header's (status(score, liveLevel)), so the card never calls the vitals good
// under a header that says the Mac needs a review: any level above 0 says they need attention.
QString attentionEmptyTitle(bool checkComplete, int level);
QString attentionEmptyMessage(bool checkComplete, int level);
QString attentionCheckNow();
// The attention section's refresh button: "Refresh", and "Checking…" while a check runs.
QString refreshTitle();
QString refreshChecking();

// The screen's title, and its line while the first sample is read.
QString windowTitle();
QString readingVitals();

// The card that asks for full disk access while the app lacks it: its title, its sentence and
// its two buttons.
QString fullDiskAccessTitle();
QString fullDiskAccessMessage();
QString fullDiskAccessOpen();
QString fullDiskAccessRecheck();

} // namespace DashboardText
