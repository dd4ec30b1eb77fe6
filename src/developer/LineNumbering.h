#pragma once

#include <QStringView>
#include <vector>

// The first step of the line diff: lines are compared as numbers.
namespace LineNumbering {

// Lines that are canonically equivalent get the same number. Below U+0300 every text is
// already in composed form, so most lines skip normalization. The table is open addressing over
// the lines' own characters: numbering 40,000 lines is most of a diff's work when they differ.
struct Numbered {
    std::vector<int> a, b;
    int count = 0;
    // No line needed normalizing: lines with one number are then identical, not just equivalent.
    bool verbatim = true;
};

Numbered number(const std::vector<QStringView>& first, const std::vector<QStringView>& second);

} // namespace LineNumbering
