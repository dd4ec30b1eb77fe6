#pragma once

#include <optional>
#include <QList>
#include <QMetaType>
#include <QString>

// One row of a line diff between a first ("left") and a second ("right") file.
//
// id is the row's running number within one diff result, from 0 in output order. Line numbers
// are 1-based. Which sides are present depends on the kind: Same and Changed carry both sides,
// Added only the right one, Removed only the left one; an absent side is nullopt, never 0 or "".
struct DiffRow {
    enum class Kind : quint8 { Same, Added, Removed, Changed };

    qint64 id = 0;
    Kind kind = Kind::Same;
    std::optional<qint64> leftNumber;
    std::optional<QString> leftText;
    std::optional<qint64> rightNumber;
    std::optional<QString> rightText;

    friend bool operator==(const DiffRow&, const DiffRow&) = default;
};

// The counts of one diff result's rows by kind; Same rows are not counted. The default value is
// the zero summary (0, 0, 0), which is also what an empty diff has.
struct DiffSummary {
    qint64 added = 0;
    qint64 removed = 0;
    qint64 changed = 0;

    friend bool operator==(const DiffSummary&, const DiffSummary&) = default;
};

Q_DECLARE_METATYPE(DiffRow)
Q_DECLARE_METATYPE(DiffSummary)
