#pragma once

#include "duplicates/KeepSweep.h"
#include "shell/ScanJob.h"
#include "shell/ScanService.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUuid>
#include <utility>

class Trash;

// What a finder publishes of its groups, and the keep-one-of-each sweep over them: the groups on
// show, the sweep's progress, and how the moves of one group or of a whole sweep come back. Both
// finders hold one; they differ only in how a group's copies are moved (`Hooks::move`) and how a
// group that lost some is rebuilt (`Hooks::rebuild`).
//
// Main thread only, like the finder. A large list never ends on the main thread: the sweep works
// out the groups as they will be after its moves on its own thread, and every list replaced (the
// groups before, the sweep's own copies) is freed on the pool, so taking in a result of thousands
// of groups costs the main thread what swapping a list costs.
//
// Beside the groups it keeps their keys, each group's id as text in the groups' order, which is
// how a list on screen knows its rows. Whoever builds a large list off the main thread builds its
// keys there too (`Listed::of`), so the main thread takes both in as they are.
template <typename Group, typename Check, typename Total> class FoundGroups {
public:
    using Progress = KeepSweep::Progress;
    // One group's moves: what they came to, and the files still there afterwards (the kept one
    // first), or none when nothing was tried.
    struct Moved {
        Total total;
        std::optional<QStringList> remaining;
    };
    // Groups and their keys (`keyOf` of each id, in order), made together.
    struct Listed {
        QList<Group> groups;
        QStringList keys;
        static Listed of(QList<Group> groups) {
            QStringList keys;
            keys.reserve(groups.size());
            for (const Group& group : groups)
                keys.append(keyOf(group.id));
            return {std::move(groups), std::move(keys)};
        }
    };
    static QString keyOf(const QUuid& id) { return id.toString(QUuid::WithoutBraces); }

    struct Hooks {
        // Keeps one file of the group and moves the others, checking each just before; on the
        // sweep's thread.
        std::function<Moved(const Group&, const Check&, Trash*)> move;
        // The group that lost files, with the files left (two or more): a new id; any thread.
        std::function<Group(const Group&, const QStringList&)> rebuild;
        // The finder's change signals, and the end of a sweep with its sums.
        std::function<void()> groupsChanged;
        std::function<void()> cleaningChanged;
        std::function<void(const Total&)> swept;
    };

    // The sweep runs on `job`, which the finder's scan shares: either cancels the other.
    FoundGroups(QObject* owner, ScanJob& job, Hooks hooks)
        : m_hooks(std::move(hooks)), m_sweep(owner, &FoundGroups::sweepAll,
                                             {[this](const Progress& step) {
                                                  if (m_cleaning)
                                                      setCleaning(step);
                                              },
                                              [this](Swept swept) {
                                                  finish(std::move(swept));
                                                  return std::nullopt;
                                              }},
                                             job) {}

    const QList<Group>& groups() const { return m_groups; }
    // The groups' keys, in their order.
    const QStringList& keys() const { return m_keys; }
    // Set while a sweep runs, with its progress.
    const std::optional<Progress>& cleaning() const { return m_cleaning; }
    int removableCount() const { return KeepSweep::removableCount(m_groups); }

    // Publishes the groups (when either side has any); the ones before go to the pool. The keys
    // are made here: a large list comes made with them (publish()).
    void set(QList<Group> groups) { publish(Listed::of(std::move(groups))); }
    // Publishes groups with the keys made with them, both taken as they are.
    void publish(Listed listed) {
        if (m_groups.isEmpty() && listed.groups.isEmpty())
            return;
        replace(std::move(listed));
    }
    // Drops the groups and the progress of a sweep (a new scan or a reset, which cancelled it).
    void clear() {
        set({});
        setCleaning(std::nullopt);
    }
    void setCleaning(const std::optional<Progress>& cleaning) {
        KeepSweep::publish(m_cleaning, cleaning, m_hooks.cleaningChanged);
    }

    // Takes in the moves made on this thread for one group: the group is rebuilt or dropped when
    // it is on show, or dropped from sight when fewer than two files remain.
    Total take(const Group& group, Moved moved) {
        if (!moved.remaining)
            return std::move(moved.total);
        const bool listed = std::any_of(m_groups.cbegin(), m_groups.cend(),
                                        [&](const Group& g) { return g.id == group.id; });
        if (listed || moved.remaining->size() < 2)
            set(KeepSweep::withMoves(m_groups, {{group, *moved.remaining}}, m_hooks.rebuild));
        return std::move(moved.total);
    }

    // Starts a sweep over the groups as they are; ignored while one runs.
    void sweep(Check check, std::shared_ptr<Trash> trash) {
        if (m_cleaning)
            return;
        setCleaning(Progress{0, int(m_groups.size())});
        m_sweep.start({m_groups, std::move(check), std::move(trash), m_hooks});
    }

private:
    struct Request {
        QList<Group> groups;
        Check check;
        std::shared_ptr<Trash> trash;
        Hooks hooks;
    };
    // The sums, each group that lost files with the files it kept, and the groups after those
    // moves, worked out from `from`, the groups the sweep started on.
    struct Swept {
        Total total;
        QList<std::pair<Group, QStringList>> moved;
        QList<Group> from;
        Listed after;
    };
    using Slot = ScanService<Request, Progress, Swept>;

    static Swept sweepAll(Request& request, const typename Slot::Run& run) {
        const QList<Group>& groups = request.groups;
        Swept swept;
        KeepSweep::run(
            groups.size(), run.cancel(),
            [&](qsizetype i) {
                Moved moved = request.hooks.move(groups.at(i), request.check, request.trash.get());
                swept.total += moved.total;
                if (moved.remaining)
                    swept.moved.append({groups.at(i), std::move(*moved.remaining)});
            },
            [&](int done) {
                run.progress(Progress{done, int(groups.size())});
            });
        swept.after = Listed::of(KeepSweep::withMoves(groups, swept.moved, request.hooks.rebuild));
        swept.from = std::move(request.groups);
        return swept;
    }

    void finish(Swept swept) {
        // The groups the sweep worked out hold while nothing replaced the list it started on (a
        // single group's moves meanwhile, say); otherwise its moves are applied to what is shown.
        const bool current =
            swept.from.constData() == m_groups.constData() && swept.from.size() == m_groups.size();
        replace(current ? std::move(swept.after)
                        : Listed::of(KeepSweep::withMoves(m_groups, swept.moved, m_hooks.rebuild)));
        setCleaning(std::nullopt);
        m_hooks.swept(swept.total);
        ScanJob::runInPool([gone = std::move(swept)]() mutable { gone = {}; });
    }

    void replace(Listed listed) {
        Listed before{std::exchange(m_groups, std::move(listed.groups)),
                      std::exchange(m_keys, std::move(listed.keys))};
        m_hooks.groupsChanged();
        if (!before.groups.isEmpty() || !before.keys.isEmpty())
            ScanJob::runInPool([gone = std::move(before)]() mutable { gone = {}; });
    }

    Hooks m_hooks;
    QList<Group> m_groups;
    QStringList m_keys;
    std::optional<Progress> m_cleaning;
    Slot m_sweep;
};
