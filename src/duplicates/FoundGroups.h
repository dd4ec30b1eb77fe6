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
template <typename Group, typename Check, typename Total> class FoundGroups {
public:
    using Progress = KeepSweep::Progress;
    // One group's moves: what they came to, and the files still there afterwards (the kept one
    // first), or none when nothing was tried.
    struct Moved {
        Total total;
        std::optional<QStringList> remaining;
    };
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
    // Set while a sweep runs, with its progress.
    const std::optional<Progress>& cleaning() const { return m_cleaning; }
    int removableCount() const { return KeepSweep::removableCount(m_groups); }

    // Publishes the groups (when either side has any); the ones before go to the pool.
    void set(QList<Group> groups) {
        if (m_groups.isEmpty() && groups.isEmpty())
            return;
        replace(std::move(groups));
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
        QList<Group> after;
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
        swept.after = KeepSweep::withMoves(groups, swept.moved, request.hooks.rebuild);
        swept.from = std::move(request.groups);
        return swept;
    }

    void finish(Swept swept) {
        // The groups the sweep worked out hold while nothing replaced the list it started on (a
        // single group's moves meanwhile, say); otherwise its moves are applied to what is shown.
        const bool current =
            swept.from.constData() == m_groups.constData() && swept.from.size() == m_groups.size();
        replace(current ? std::move(swept.after)
                        : KeepSweep::withMoves(m_groups, swept.moved, m_hooks.rebuild));
        setCleaning(std::nullopt);
        m_hooks.swept(swept.total);
        ScanJob::runInPool([gone = std::move(swept)]() mutable { gone = {}; });
    }

    void replace(QList<Group> groups) {
        QList<Group> before = std::exchange(m_groups, std::move(groups));
        m_hooks.groupsChanged();
        if (!before.isEmpty())
            ScanJob::runInPool([gone = std::move(before)]() mutable { gone = {}; });
    }

    Hooks m_hooks;
    QList<Group> m_groups;
    std::optional<Progress> m_cleaning;
    Slot m_sweep;
};
