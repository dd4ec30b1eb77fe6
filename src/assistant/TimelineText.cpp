#include "assistant/TimelineText.h"

#include "platform/SymbolName.h"
#include "platform/TextConstant.h"

#include <algorithm>
#include <cmath>

namespace TimelineText {

QString symbol(TimelineEntry::Kind kind) {
    switch (kind) {
    case TimelineEntry::Kind::AskAnswer:
        return "bubble.left.and.bubble.right"_sym;
    case TimelineEntry::Kind::Automation:
        return "clock.badge.checkmark"_sym;
    case TimelineEntry::Kind::Action:
        return "hand.tap"_sym;
    case TimelineEntry::Kind::Insight:
        return "pin.fill"_sym;
    }
    return {};
}

QString emptyTitle(const QString& searchText) {
    return searchText.isEmpty() ? QStringLiteral("Nothing here yet") : QStringLiteral("No matches");
}

QString emptyMessage(const QString& searchText) {
    return searchText.isEmpty()
               ? QStringLiteral("Ask Explain My Mac a question or run an automation — entries "
                                "appear here automatically.")
               : QStringLiteral("Try different words from a question Pendrel already answered.");
}

QString entryCount(qsizetype count) {
    return count == 1 ? QStringLiteral("1 entry on this Mac")
                      : QStringLiteral("%1 entries on this Mac").arg(count);
}

bool showsFooter(const QList<TimelineEntry>& entries) {
    return std::any_of(entries.cbegin(), entries.cend(),
                       [](const TimelineEntry& e) { return !e.pinned; });
}

QString pinTooltip(bool pinned) {
    return pinned ? QStringLiteral("Unpin") : QStringLiteral("Pin for Explain My Mac");
}

PENDREL_TEXT(pinnedBadge, "Pinned")

namespace {

QString amount(qint64 n, const char* unit) {
    return QStringLiteral("%1 %2%3")
        .arg(n)
        .arg(QLatin1String(unit))
        .arg(QLatin1String(n == 1 ? "" : "s"));
}

struct Unit {
    qint64 seconds;
    const char* name;
};

} // namespace

QString relativeDate(const QDateTime& date, const QDateTime& now) {
    const qint64 ms = date.msecsTo(now);
    const qint64 elapsed = std::llabs(ms) / 1000;
    if (elapsed < 1)
        return QStringLiteral("just now");
    static constexpr Unit kUnits[] = {
        {365 * 86400, "year"}, {30 * 86400, "month"}, {7 * 86400, "week"}, {86400, "day"},
        {3600, "hour"},        {60, "minute"},        {1, "second"},
    };
    QString text;
    for (std::size_t i = 0; i < std::size(kUnits); ++i) {
        const Unit& big = kUnits[i];
        if (elapsed < big.seconds)
            continue;
        text = amount(elapsed / big.seconds, big.name);
        // A second unit adds precision down to minutes; under an hour the minutes stand alone.
        const qint64 rest = elapsed % big.seconds;
        if (i + 1 < std::size(kUnits) && big.seconds >= 3600) {
            const Unit& small = kUnits[i + 1];
            if (rest / small.seconds > 0)
                text += QStringLiteral(", ") + amount(rest / small.seconds, small.name);
        }
        break;
    }
    return ms >= 0 ? text + QStringLiteral(" ago") : QStringLiteral("in ") + text;
}

PENDREL_TEXT(savesHeldNote, "Pendrel could not read the saved timeline file and could not set it "
                            "aside, so changes here are kept in memory only.")
PENDREL_TEXT(windowTitle, "Pendrel Timeline")
PENDREL_TEXT(intro, "Everything Pendrel does and explains is saved here on your Mac. Search "
                    "past answers, pin insights you want to keep, and let Explain My Mac "
                    "remember what you already asked.")
PENDREL_TEXT(searchPlaceholder, "Search timeline…")
PENDREL_TEXT(clearSearchTooltip, "Clear")
PENDREL_TEXT(clearSearchName, "Clear search")
PENDREL_TEXT(listTitle, "Timeline")
PENDREL_TEXT(clearUnpinnedButton, "Clear unpinned")
PENDREL_TEXT(privacyTitle, "Private on this Mac")
PENDREL_TEXT(privacyText, "Your timeline never leaves this Mac. Pinned items also feed Explain My "
                          "Mac so follow-up questions can reference what you saved.")

} // namespace TimelineText
