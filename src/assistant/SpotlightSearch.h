#pragma once

#include "platform/CancelToken.h"
#include "shell/ScanService.h"

#include <functional>
#include <optional>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QUuid>
#include <vector>

// One file found by a search. A fresh id each time a search finds it.
struct SearchHit {
    QUuid id = QUuid::createUuid();
    QUrl url;

    QString path() const { return url.toLocalFile(); }
    friend bool operator==(const SearchHit&, const SearchHit&) = default;
};

// Finds files of the home folder from a description in plain words ("pdf invoice", "photos of
// the beach"): the words become search terms and, where a word names a kind of file, a kind
// condition. There is no system-wide index to ask, so each search is a walk of the home folder.
//
// What matches: an entry below the home (files, folders, links; never the home itself) whose
// name contains one of the terms, or a regular small text file whose contents do, ignoring case
// and accents; with a kind condition the entry must also be a file of that kind, and a kind with
// no term matches every file of the kind. Hidden entries (names starting with ".") are passed
// over with everything in them, and links are never followed. Files whose contents are read are
// opened so that their access time stays as it was wherever the system allows it.
//
// What is published: at most kMaxHits hits, most recently modified first (ties by path). A walk
// is bounded by time (Limits), so a huge home gives the newest hits of what was seen in time
// instead of a search that never ends; a search cut short by a limit (time, or the contents it
// may read) ends Done with `partial` set, and the screen says it searched only part of the home.
//
// States, changed on the main thread only: Idle → Running → Done; any → Failed when the
// description holds nothing to search for (no walk starts and the earlier hits stay); any → Idle
// on clear(). A new search or clear() cancels the walk before it, whose hits are then never
// published. The state of a walk is its scan slot's; a description refused before any walk is
// the one Failed the service tells itself.
class SpotlightSearch : public QObject {
    Q_OBJECT
    Q_PROPERTY(SpotlightSearch::State state READ state NOTIFY stateChanged)
    Q_PROPERTY(QString lastQuery READ lastQuery NOTIFY lastQueryChanged)
public:
    using State = ScanState<NoProgress>;

    // The kinds a word can ask for, in the order their words are tried.
    enum class FileKind { Image, Movie, Pdf, Audio, Content };
    struct KindWords {
        QStringList words;
        FileKind kind;
    };

    // A description taken apart: the terms to look for (at most kMaxTerms, in the order the
    // words gave them) and the kind asked for, if any.
    struct Query {
        QStringList terms;
        std::optional<FileKind> kind;
        bool operator==(const Query&) const = default;
    };

    // How far one walk may go before it settles for what it has seen. Time, not a count of
    // entries: a count small enough to matter is reached in a couple of seconds on a large home.
    struct Limits {
        int maxMilliseconds = 20'000;               // wall time of the walk; 0 stops at once
        qint64 maxTextBytes = 512 * 1024;           // a larger file's contents are not read
        qint64 maxTotalTextBytes = 256 * 1'048'576; // contents read in one walk, all files
    };

    // What one walk found. `all` is filled only when asked for (the benchmark compares it).
    struct Found {
        QList<SearchHit> hits; // newest first, at most kMaxHits
        qint64 matched = 0;    // every match seen, beyond the cap too
        bool limited = false;  // a limit stopped the walk early or left contents unread
        bool cancelled = false;
        std::vector<QString> all;
    };

    static constexpr int kMaxHits = 30;
    static constexpr int kMaxTerms = 8;
    static QString nothingToSearchMessage();

    // root: the folder searched (the user's home in the app, a sandbox in tests).
    explicit SpotlightSearch(const QString& root, QObject* parent = nullptr);
    SpotlightSearch(const QString& root, Limits limits, QObject* parent = nullptr);
    ~SpotlightSearch() override;

    State state() const;
    const QList<SearchHit>& results() const { return m_results; }
    // Whether a limit stopped the walk that found results() (more files may match); false
    // unless the state is Done.
    bool partial() const { return m_partial; }
    // The description of the latest search, exactly as passed; empty after clear().
    const QString& lastQuery() const { return m_lastQuery; }
    QString root() const { return m_root; }
    // Threads a walk uses; 0 is the walker's default.
    void setWalkThreads(int threads) { m_threads = threads; }

    // Called on the worker before each walk, from any thread; screenshots hold a search in its
    // searching state with it. Empty by default.
    void setBeforeWalk(std::function<void()> hook) { m_beforeWalk = std::move(hook); }

    // Starts a search and returns at once.
    void search(const QString& description);
    // Stops a running search and returns to the initial state.
    void clear();

    // --- The term rules, pure ---------------------------------------------------------------
    static const QSet<QString>& stopWords();
    static const QList<KindWords>& kindWords();
    // Lower-cased runs of letters and digits, in order, stop words included.
    static QStringList words(const QString& description);
    // Every term the words give, duplicates removed, in first-seen order (before the cut to
    // kMaxTerms).
    static QStringList allTerms(const QStringList& words);
    static std::optional<FileKind> kindOf(const QStringList& words);
    // None when the description gives neither a term nor a kind.
    static std::optional<Query> parse(const QString& description);

    // The kind a file name belongs to, by its extension (Content covers every kind).
    static bool isOfKind(QStringView fileName, FileKind kind);
    // Lower-case without accents, so "Résumé" and "resume" compare equal.
    static QString fold(QStringView text);

    // The walk itself, synchronous (the service runs it in the pool; the benchmark calls it).
    static Found find(const QString& root, const Query& query, const Limits& limits,
                      const CancelToken& cancel = CancelToken(), int threads = 0,
                      bool keepAll = false);

signals:
    void stateChanged();
    void resultsChanged();
    void lastQueryChanged();

private:
    // What one search reads: its own copies.
    struct Request {
        QString root;
        Query query;
        Limits limits;
        int threads = 0;
        std::function<void()> beforeWalk;
    };

    // Runs a change of the slot or of the refusal, announcing the state once if it moved.
    void changing(const std::function<void()>& change);
    void apply(Found found);

    QString m_root;
    Limits m_limits;
    int m_threads = 0;
    std::function<void()> m_beforeWalk;
    // The sentence of a description that held nothing to search for; cleared by the next
    // search or clear().
    std::optional<QString> m_refusal;
    QList<SearchHit> m_results;
    bool m_partial = false;
    QString m_lastQuery;
    ScanService<Request, NoProgress, Found> m_scan;
};
