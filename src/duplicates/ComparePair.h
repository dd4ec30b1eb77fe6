#pragma once

#include <QString>
#include <QStringList>
#include <QUuid>

// Two photos of a look-alike set shown side by side, and which of them is the set's best (its
// first photo). The id is new for every click, so each click opens a fresh sheet.
struct ComparePair {
    QUuid id;
    QString left;
    QString right;
    bool leftIsBest = false;
    bool rightIsBest = false;

    // The pair for a click on `clicked` in a set whose photos are `files` (best first): the
    // clicked photo on the left; on the right the runner-up when the best was clicked (the best
    // itself when the set holds one photo), otherwise the best.
    static ComparePair forClick(const QStringList& files, const QString& clicked) {
        ComparePair pair;
        pair.id = QUuid::createUuid();
        pair.left = clicked;
        const QString best = files.value(0);
        if (clicked == best)
            pair.right = files.size() > 1 ? files.at(1) : best;
        else
            pair.right = best;
        pair.leftIsBest = pair.left == best;
        pair.rightIsBest = pair.right == best;
        return pair;
    }
};
