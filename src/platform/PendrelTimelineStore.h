#pragma once

#include "platform/CacheFolder.h"
#include "platform/Clock.h"
#include "platform/TimelineEntry.h"

#include <memory>
#include <optional>
#include <QList>
#include <QLocale>
#include <QObject>
#include <QTimeZone>

// The activity timeline: what the assistant answered, which actions the user approved, what the
// automation did. Held in memory, newest recorded first, and saved whole as "timeline.v1.json"
// after every change (through CacheFolder; a failed save is logged and the change stays in
// memory). The writers record entries; the timeline screen filters, pins and clears them; the
// assistant reads the pinned and recent ones back as prompt text.
//
// Loading happens once, in the constructor: the file's entries exactly as stored (no sort, cap
// or de-duplication), or an empty timeline when the file is missing or unreadable; an unreadable
// file is set aside first (see CacheFolder), so nothing the user had is destroyed.
//
// Main thread only.
class PendrelTimelineStore : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<TimelineEntry> entries READ entries NOTIFY entriesChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(bool savesHeld READ savesHeld NOTIFY savesHeldChanged)
public:
    static constexpr int kCapacity = 400;
    static constexpr double kDuplicateWindowSeconds = 30.0;
    static QString fileName() { return QStringLiteral("timeline.v1.json"); }

    PendrelTimelineStore(CacheFolder folder, std::shared_ptr<const Clock> clock,
                         QObject* parent = nullptr);
    // The process-wide timeline in the data folder, on the system clock; made on first use.
    static PendrelTimelineStore* shared();

    // Newest recorded first.
    const QList<TimelineEntry>& entries() const { return m_entries; }
    // The timeline screen's search text; never saved.
    QString searchText() const { return m_searchText; }
    void setSearchText(const QString& text);
    // True while the file on disk could not be read nor set aside: changes stay in memory only.
    bool savesHeld() const { return m_savesHeld; }

    // Adds an entry at the front and saves. Title and detail are trimmed (white space and line
    // breaks); featureID is kept as given. Nothing happens for an empty title, or when an entry
    // of the same kind, title and detail was recorded less than 30 seconds from now (either
    // way). Beyond 400 entries the oldest recorded are dropped, pinned or not.
    void record(TimelineEntry::Kind kind, const QString& title, const QString& detail,
                const std::optional<QString>& featureID = std::nullopt, bool pinned = false);
    // Flips the pin of the first entry with this id and saves; an unknown id changes nothing.
    void togglePin(const QUuid& id);
    // Removes every unpinned entry and saves, even when there was none.
    void clearUnpinned();

    // Newest first by date (equal dates keep their stored order). With a search text (trimmed,
    // lower-cased) only the entries whose title, detail or kind label contains it.
    QList<TimelineEntry> filteredEntries() const;
    // The pinned entries, newest first.
    QList<TimelineEntry> pinnedEntries() const;
    // The prompt lines of every pinned entry, newest first, one per line; empty without any.
    QString pinnedContext() const;
    // The prompt lines of the `limit` newest unpinned entries, one per line; empty without any.
    QString recentContext(int limit) const;

    // The locale and time zone the prompt lines' dates are written in (the system's unless set).
    void setPromptFormat(const QLocale& locale, const QTimeZone& zone);

    // Sorts newest first by date, keeping the order of equal dates.
    static QList<TimelineEntry> newestFirst(QList<TimelineEntry> entries);
    // The file's bytes as the loader reads them: the entries, or nothing when the file does not
    // decode as a whole.
    static std::optional<QList<TimelineEntry>> decode(const QByteArray& bytes);

signals:
    void entriesChanged();
    void searchTextChanged(const QString& text);
    void savesHeldChanged(bool held);

private:
    void save();
    void setSavesHeld(bool held);
    QString joinedPromptLines(const QList<TimelineEntry>& entries) const;

    CacheFolder m_folder;
    std::shared_ptr<const Clock> m_clock;
    QList<TimelineEntry> m_entries;
    QString m_searchText;
    bool m_savesHeld = false;
    QLocale m_promptLocale;
    QTimeZone m_promptZone = QTimeZone::systemTimeZone();
};
