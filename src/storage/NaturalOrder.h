#pragma once

#include <QStringView>
#include <string>

// The order people expect of file names, whatever locale the process runs under (the C locale
// included): letters compared without regard to case, and every run of digits compared as the
// number it spells, so "file9" comes before "file10" and "Track 2" before "track 10". Leading
// zeros do not change a number's value ("07" equals "7"). Other characters compare by their
// case-folded code. Names that differ only in case or leading zeros compare equal, which a
// stable sort turns into "keep the order they came in".
namespace NaturalOrder {

// Negative when a comes first, positive when b does, 0 when neither.
int compare(QStringView a, QStringView b);

inline bool lessThan(QStringView a, QStringView b) {
    return compare(a, b) < 0;
}

// Bytes that order as plain bytes (memcmp, then the shorter first) exactly as compare() orders
// the names: the sign of sortKey(a).compare(sortKey(b)) is the sign of compare(a, b), ties
// included. For sorting many names, where making a key once per name is cheaper than reading
// digits and folding case at every comparison.
std::string sortKey(QStringView name);
// The same key appended to `key`, for keys kept side by side in one buffer.
void appendSortKey(QStringView name, std::string& key);

} // namespace NaturalOrder
