#pragma once

#include "platform/HomeLayout.h"

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QString>

// What the assistant knows about this computer: which developer and AI tools leave data in the
// home folder. Learned only from whether certain files or folders exist, never from what they
// hold, and never stored: the list is rebuilt by refresh().
class TamsoMemory : public QObject {
    Q_OBJECT
    Q_PROPERTY(
        QList<TamsoMemory::Observation> observations READ observations NOTIFY observationsChanged)
public:
    struct Observation {
        QString id; // the home-relative path it was learned from ("no-xcode" for the absence)
        QString label;
        QString detail;
        QString icon; // a symbol name
        friend bool operator==(const Observation&, const Observation&) = default;
    };
    struct KnownTool {
        const char* path; // relative to home, as the table writes it; mapped through HomeLayout
        const char* label;
        const char* detail;
        const char* icon;
    };
    static const QList<KnownTool>& knownTools();
    static Observation noXcode();

    explicit TamsoMemory(HomeLayout home, QObject* parent = nullptr);
    // The process-wide memory of the current user's home; made on first use.
    static TamsoMemory* shared();

    const QList<Observation>& observations() const { return m_observations; }
    const HomeLayout& home() const { return m_home; }

    // What the home folder shows now: one observation per known tool whose path exists (links
    // followed; anything unreachable counts as absent), plus "Xcode isn't used here" when Xcode's
    // folder is absent, sorted by label in plain code-unit order (capitals first), stably.
    // Touches the disk; runs on any thread.
    static QList<Observation> observe(const HomeLayout& home);

    // Observes `home` on the thread pool and, back on the main thread, replaces the memory's
    // observations when it still exists. Returns at once. Concurrent refreshes each publish their
    // own complete list; the last to finish wins.
    static void refresh(const HomeLayout& home, QPointer<TamsoMemory> memory);

    // Replaces the whole list (main thread).
    void setObservations(const QList<Observation>& observations);

signals:
    void observationsChanged();

private:
    HomeLayout m_home;
    QList<Observation> m_observations;
};

Q_DECLARE_METATYPE(TamsoMemory::Observation)
