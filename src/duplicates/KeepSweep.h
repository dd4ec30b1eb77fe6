#pragma once

#include "platform/CancelToken.h"

#include <algorithm>
#include <memory>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <QUuid>
#include <utility>

class Trash;

// What the duplicate and look-alike finders share of keeping one file of each group: the
// request, the progress and the result of the sweep, and how they publish a field.
//
// The loop of a keep-one-of-each over the groups of a finished search, off the main thread:
// handles each group in order until the token is cancelled, and tells how many it has handled at
// most ten times a second, so a long clean-up moves its bar without flooding the main thread.
namespace KeepSweep {

// A sweep under way: groups handled so far out of the groups it took.
struct Progress {
    int done = 0;
    int total = 0;
    bool operator==(const Progress& o) const { return done == o.done && total == o.total; }
};

// What a sweep works on: the groups as they were when it started, what looks at a file again
// just before it moves (the hasher, the printer), and the Trash the files go to.
template <typename Group, typename Check> struct Request {
    QList<Group> groups;
    Check check;
    std::shared_ptr<Trash> trash;
};

// What a sweep ends with: what the moves came to (the bytes given back and the lines of the
// files that stayed), and each group that lost files with the files it kept.
template <typename Group, typename Total> struct Result {
    Total total;
    QList<std::pair<Group, QStringList>> moved;
};

// The files a sweep of these groups would move: the sum of (files − 1) over the groups.
template <typename Group> int removableCount(const QList<Group>& groups) {
    int count = 0;
    for (const Group& g : groups)
        count += std::max(0, int(g.files.size()) - 1);
    return count;
}

// `groups` after the moves: a moved group (matched by id) with fewer than two files left is
// dropped, any other is replaced by `rebuilt(group, left)` (a new id, the files left). A group no
// longer in `groups` stays out.
template <typename Group, typename Rebuild>
QList<Group> withMoves(QList<Group> groups, const QList<std::pair<Group, QStringList>>& moves,
                       Rebuild rebuilt) {
    QHash<QUuid, qsizetype> movedAt;
    for (qsizetype i = 0; i < moves.size(); ++i)
        movedAt.insert(moves.at(i).first.id, i);
    QList<Group> after;
    after.reserve(groups.size());
    for (Group& g : groups) {
        const auto at = movedAt.constFind(g.id);
        if (at == movedAt.constEnd()) {
            after.append(std::move(g));
            continue;
        }
        const auto& [group, left] = moves.at(*at);
        if (left.size() >= 2)
            after.append(rebuilt(group, left));
    }
    return after;
}

// Moves one copy a keep gives up to the Trash, through the folders the scan walked from
// `searched`, never through a link put in since. False when it stays, with its line
// ("name: reason") added to `errors`; a null Trash keeps every copy.
bool moveCopy(Trash* trash, const QString& searched, const QString& file, QStringList& errors);

// Sets a published field and reports it, only when the value changes.
template <typename T, typename Changed> void publish(T& field, const T& value, Changed changed) {
    if (field == value)
        return;
    field = value;
    changed();
}

template <typename Handle, typename Tell>
void run(qsizetype count, const CancelToken& cancel, Handle handle, Tell tell) {
    QElapsedTimer sinceTold;
    sinceTold.start();
    for (qsizetype i = 0; i < count; ++i) {
        if (cancel.isCancelled())
            return;
        handle(i);
        if (sinceTold.elapsed() >= 100) {
            sinceTold.restart();
            tell(int(i + 1));
        }
    }
}

} // namespace KeepSweep
