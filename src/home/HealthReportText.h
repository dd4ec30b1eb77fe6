#pragma once

#include "home/HomeTone.h"

#include <optional>
#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>

struct SystemSnapshot;

// What the health report says about one sample and the health check: its own score (a simpler
// one than the home screen's headroom), the summary rows, the six cards and up to three
// recommendations. Pure functions of their arguments.
namespace HealthReportText {

// From 55 to 100: a base from memory in use (above 0.85 → 85, above 0.7 → 92, else 100; ten
// less each when the CPU is above 80 %), then 20 off when less than 0.1 of the volume is free,
// or 10 off below 0.2. Every comparison is strict.
int healthScore(const SystemSnapshot& snapshot);
// Above 89 green; 70 to 89 orange; below 70 red.
HomeTone scoreTone(int score);

// "Needs attention" when memory is above 0.85 used or the CPU above 80 %, "Fair" above 0.7
// used, else "Good".
QString performanceVerdict(const SystemSnapshot& snapshot);
// "120 GB free".
QString storageValue(const SystemSnapshot& snapshot);
// The bytes in file style, or "Nothing flagged yet" below 1.
QString recoveryPotential(qint64 recoverableBytes);

// One line of the recommendations box; a line without a section has no "Open" button.
struct Recommendation {
    QString text;
    std::optional<QString> section;

    bool operator==(const Recommendation&) const = default;
};
// In order: clearing the junk (junkBytes, the finished junk measurement only: the user's own
// large files are not temporary files), quitting the biggest memory user above 0.8 used,
// storage below 0.15 free; or the one "Nothing urgent" line when none applies.
QList<Recommendation> recommendations(const SystemSnapshot& snapshot, qint64 junkBytes);

struct Card {
    QString title;
    QString icon;
    QString value;
    QString detail;

    bool operator==(const Card&) const = default;
};
// Memory, CPU, Disk, Battery, Developer, Apps.
QList<Card> cards(const SystemSnapshot& snapshot);

// The "Open" button of a recommendation, and what a reader hears for it: the button's word and
// the screen it opens ("Open Storage"); the word alone for a section the app does not know.
QString openTitle();
QString openName(const QString& section);

// Today's date in the locale's full form ("Monday, 1 June 2026").
QString dateLine(const QDate& date, const QLocale& locale = QLocale());
QString subtitle();

// The screen's fixed wording.
QString windowTitle();
QString title();
QString scoreCaption();
QString storageName();
QString performanceName();
QString recoveryName();
QString recommendationsTitle();

} // namespace HealthReportText
