#include "platform/PendrelTimelineStore.h"

#include <algorithm>
#include <cmath>

PendrelTimelineStore::PendrelTimelineStore(CacheFolder folder, std::shared_ptr<const Clock> clock,
                                           QObject* parent)
    : QObject(parent), m_folder(std::move(folder)), m_clock(std::move(clock)) {
    const auto load =
        m_folder.loadJSON<QList<TimelineEntry>>(fileName(), &PendrelTimelineStore::decode);
    if (load.value)
        m_entries = *load.value;
    m_savesHeld = load.outcome == CacheFolder::LoadOutcome::Held;
}

PendrelTimelineStore* PendrelTimelineStore::shared() {
    static PendrelTimelineStore* const instance =
        new PendrelTimelineStore(CacheFolder::standard(), std::make_shared<SystemClock>());
    return instance;
}

std::optional<QList<TimelineEntry>> PendrelTimelineStore::decode(const QByteArray& bytes) {
    return CacheFolder::decodeArray<TimelineEntry>(bytes);
}

void PendrelTimelineStore::setSearchText(const QString& text) {
    if (text == m_searchText)
        return;
    m_searchText = text;
    emit searchTextChanged(text);
}

void PendrelTimelineStore::setSavesHeld(bool held) {
    if (held == m_savesHeld)
        return;
    m_savesHeld = held;
    emit savesHeldChanged(held);
}

void PendrelTimelineStore::setPromptFormat(const QLocale& locale, const QTimeZone& zone) {
    m_promptLocale = locale;
    m_promptZone = zone;
}

void PendrelTimelineStore::record(TimelineEntry::Kind kind, const QString& title,
                                  const QString& detail, const std::optional<QString>& featureID,
                                  bool pinned) {
    const QString t = title.trimmed();
    const QString d = detail.trimmed();
    if (t.isEmpty())
        return;
    const double now = secondsSinceReferenceDate(m_clock->now());
    const bool nearDuplicate =
        std::any_of(m_entries.cbegin(), m_entries.cend(), [&](const TimelineEntry& e) {
            return e.kind == kind && e.title == t && e.detail == d &&
                   std::fabs(e.date - now) < kDuplicateWindowSeconds;
        });
    if (nearDuplicate)
        return;
    m_entries.prepend(TimelineEntry{QUuid::createUuid(), now, kind, t, d, featureID, pinned});
    if (m_entries.size() > kCapacity)
        m_entries.resize(kCapacity);
    emit entriesChanged();
    save();
}

void PendrelTimelineStore::togglePin(const QUuid& id) {
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&](const TimelineEntry& e) { return e.id == id; });
    if (it == m_entries.end())
        return;
    it->pinned = !it->pinned;
    emit entriesChanged();
    save();
}

void PendrelTimelineStore::clearUnpinned() {
    m_entries.removeIf([](const TimelineEntry& e) { return !e.pinned; });
    emit entriesChanged();
    save();
}

void PendrelTimelineStore::save() {
    // A failure is logged by the writer; the entries stay as they are in memory.
    (void)m_folder.writeJSON(m_entries, fileName());
    setSavesHeld(m_folder.isHeld(fileName()));
}

QList<TimelineEntry> PendrelTimelineStore::newestFirst(QList<TimelineEntry> entries) {
    std::stable_sort(
        entries.begin(), entries.end(),
        [](const TimelineEntry& a, const TimelineEntry& b) { return a.date > b.date; });
    return entries;
}

QList<TimelineEntry> PendrelTimelineStore::filteredEntries() const {
    const QString query = m_searchText.trimmed().toLower();
    QList<TimelineEntry> sorted = newestFirst(m_entries);
    if (query.isEmpty())
        return sorted;
    sorted.removeIf([&](const TimelineEntry& e) {
        return !e.title.toLower().contains(query) && !e.detail.toLower().contains(query) &&
               !label(e.kind).toLower().contains(query);
    });
    return sorted;
}

QList<TimelineEntry> PendrelTimelineStore::pinnedEntries() const {
    QList<TimelineEntry> pinned = m_entries;
    pinned.removeIf([](const TimelineEntry& e) { return !e.pinned; });
    return newestFirst(std::move(pinned));
}

QString PendrelTimelineStore::joinedPromptLines(const QList<TimelineEntry>& entries) const {
    QStringList lines;
    lines.reserve(entries.size());
    for (const TimelineEntry& e : entries)
        lines.append(e.promptLine(m_promptLocale, m_promptZone));
    return lines.join(QLatin1Char('\n'));
}

QString PendrelTimelineStore::pinnedContext() const {
    return joinedPromptLines(pinnedEntries());
}

QString PendrelTimelineStore::recentContext(int limit) const {
    QList<TimelineEntry> recent = m_entries;
    recent.removeIf([](const TimelineEntry& e) { return e.pinned; });
    recent = newestFirst(std::move(recent));
    if (limit < recent.size())
        recent.resize(std::max(0, limit));
    return joinedPromptLines(recent);
}
