// The line diff of DocumentDiff.
//
// The walk needs, at each step, the length of the longest common subsequence of two suffixes,
// LCS(a[i..], b[j..]). A full table of those lengths holds (n + 1)(m + 1) integers: 3.2 GB for
// 20,000 lines a side. Along any row of that table the length drops by 0 or 1 from one column
// to the next, so a row is fully described by one bit per column. The rows are computed with
// the bit-parallel LCS recurrence (64 columns per machine word) on the reversed sequences,
// which turns suffixes into prefixes, and kept: about 50 MB for 20,000 × 20,000. A length is
// then a popcount over a row prefix. The walk asks the same questions as with the full table,
// so rows, order and tie-breaks are the same.

#include "developer/DocumentDiff.h"

#include <bit>
#include <QHash>
#include <vector>

namespace DocumentDiff {

namespace {

using Word = quint64;

// Lines that are canonically equivalent get the same number. Below U+0300 every text is
// already in composed form, so most lines skip normalization.
std::pair<std::vector<int>, std::vector<int>> numberLines(const QStringList& first,
                                                          const QStringList& second) {
    QHash<QString, int> ids;
    ids.reserve(first.size() + second.size());
    auto idOf = [&ids](const QString& line) {
        bool plain = true;
        for (QChar c : line) {
            if (c.unicode() >= 0x300) {
                plain = false;
                break;
            }
        }
        const QString key = plain ? line : line.normalized(QString::NormalizationForm_C);
        auto it = ids.constFind(key);
        if (it == ids.cend())
            it = ids.insert(key, int(ids.size()));
        return it.value();
    };
    std::vector<int> a, b;
    a.reserve(size_t(first.size()));
    b.reserve(size_t(second.size()));
    for (const QString& line : first)
        a.push_back(idOf(line));
    for (const QString& line : second)
        b.push_back(idOf(line));
    return {std::move(a), std::move(b)};
}

// Bit rows of the suffix-LCS table. Row k describes the suffixes of the first sequence that
// start at line n − k: its bit c (counted in the reversed second sequence) is clear when taking
// one more line of the second sequence, line m − 1 − c, lengthens the common subsequence.
class BitTable {
public:
    BitTable(const std::vector<int>& a, const std::vector<int>& b, int idCount,
             const std::atomic_bool* cancel)
        : m_n(a.size()), m_m(b.size()), m_words((b.size() + 63) / 64) {
        m_bits.assign((m_n + 1) * m_words, ~Word(0));
        if (m_words == 0)
            return;
        // Where each line number occurs in the reversed second sequence, grouped by number.
        std::vector<int> start(size_t(idCount) + 1, 0);
        for (int id : b)
            ++start[size_t(id) + 1];
        for (size_t k = 1; k < start.size(); ++k)
            start[k] += start[k - 1];
        std::vector<int> positions(m_m);
        std::vector<int> fill(start.begin(), start.end() - 1);
        for (size_t c = 0; c < m_m; ++c)
            positions[size_t(fill[size_t(b[m_m - 1 - c])]++)] = int(c);

        std::vector<Word> match(m_words, 0);
        for (size_t k = 1; k <= m_n; ++k) {
            if ((k & 255) == 0 && cancel && cancel->load(std::memory_order_relaxed)) {
                m_cancelled = true;
                return;
            }
            const Word* v = row(k - 1);
            Word* out = rowMut(k);
            const int id = a[m_n - k];
            const int from = start[size_t(id)], to = start[size_t(id) + 1];
            if (from == to) {
                std::copy(v, v + m_words, out); // a line the second file lacks changes nothing
                continue;
            }
            for (int p = from; p < to; ++p)
                match[size_t(positions[size_t(p)]) / 64] |= Word(1) << (positions[size_t(p)] % 64);
            // V' = (V + U) | (V − U) with U = V & M, carried across words.
            Word carry = 0, borrow = 0;
            for (size_t w = 0; w < m_words; ++w) {
                const Word u = v[w] & match[w];
                const Word sum = v[w] + u + carry;
                carry = (sum < v[w] || (carry && sum == v[w])) ? 1 : 0;
                const Word diff = v[w] - u - borrow;
                borrow = (v[w] < u || (borrow && v[w] == u)) ? 1 : 0;
                out[w] = sum | diff;
            }
            for (int p = from; p < to; ++p)
                match[size_t(positions[size_t(p)]) / 64] = 0;
        }
    }

    bool cancelled() const { return m_cancelled; }

    // LCS(a[i..], b[j..]).
    qint64 lcs(size_t i, size_t j) const {
        const Word* r = row(m_n - i);
        const size_t bits = m_m - j; // the first `bits` columns of the reversed sequence
        const size_t full = bits / 64;
        qint64 ones = 0;
        for (size_t w = 0; w < full; ++w)
            ones += std::popcount(r[w]);
        if (const size_t rest = bits % 64)
            ones += std::popcount(r[full] & ((Word(1) << rest) - 1));
        return qint64(bits) - ones;
    }

private:
    const Word* row(size_t k) const { return m_bits.data() + k * m_words; }
    Word* rowMut(size_t k) { return m_bits.data() + k * m_words; }

    size_t m_n, m_m, m_words;
    std::vector<Word> m_bits;
    bool m_cancelled = false;
};

} // namespace

LineDiff lineDiff(const QStringList& first, const QStringList& second,
                  const std::atomic_bool* cancel) {
    const auto [a, b] = numberLines(first, second);
    int idCount = 0;
    for (int id : a)
        idCount = std::max(idCount, id + 1);
    for (int id : b)
        idCount = std::max(idCount, id + 1);
    const BitTable table(a, b, idCount, cancel);
    if (table.cancelled())
        return {};

    LineDiff result;
    result.rows.reserve(std::max(first.size(), second.size()));
    std::vector<size_t> removed, added; // pending line indexes between two matches
    qint64 counter = 0;

    auto flush = [&] {
        const size_t count = std::max(removed.size(), added.size());
        for (size_t k = 0; k < count; ++k) {
            DiffRow row;
            row.id = counter++;
            if (k < removed.size()) {
                row.leftNumber = qint64(removed[k]) + 1;
                row.leftText = first.at(qsizetype(removed[k]));
            }
            if (k < added.size()) {
                row.rightNumber = qint64(added[k]) + 1;
                row.rightText = second.at(qsizetype(added[k]));
            }
            if (k < removed.size() && k < added.size()) {
                row.kind = DiffRow::Kind::Changed;
                ++result.summary.changed;
            } else if (k < removed.size()) {
                row.kind = DiffRow::Kind::Removed;
                ++result.summary.removed;
            } else {
                row.kind = DiffRow::Kind::Added;
                ++result.summary.added;
            }
            result.rows.append(std::move(row));
        }
        removed.clear();
        added.clear();
    };

    const size_t n = a.size(), m = b.size();
    size_t i = 0, j = 0;
    for (;;) {
        if (i < n && j < m && a[i] == b[j]) {
            flush();
            DiffRow row;
            row.id = counter++;
            row.kind = DiffRow::Kind::Same;
            row.leftNumber = qint64(i) + 1;
            row.leftText = first.at(qsizetype(i));
            row.rightNumber = qint64(j) + 1;
            row.rightText = second.at(qsizetype(j));
            result.rows.append(std::move(row));
            ++i;
            ++j;
        } else if (i < n && (j == m || table.lcs(i + 1, j) > table.lcs(i, j + 1))) {
            removed.push_back(i++);
        } else if (j < m) {
            added.push_back(j++);
        } else {
            flush();
            break;
        }
    }
    return result;
}

} // namespace DocumentDiff
