// The line diff of DocumentDiff.
//
// The walk needs, at each step off a match, to know which of two neighbouring suffix pairs keeps
// the longer common subsequence: LCS(a[i + 1..], b[j..]) against LCS(a[i..], b[j + 1..]). Two
// ways answer it, both with exactly the answers of the full table, so rows, order and
// tie-breaks never depend on which one ran:
//
// - Few differences (the everyday case): the edit distance of two suffixes, D = (n - i) +
//   (m - j) - 2 LCS, is what Myers' greedy search finds furthest along each diagonal of the
//   reversed sequences. Kept for every distance up to the whole pair's, those frontiers answer
//   "is D at most e" with one look-up; time and memory grow with the square of the distance.
// - Many differences: a full table of suffix lengths holds (n + 1)(m + 1) integers (3.2 GB for
//   20,000 lines a side), but along any row the length drops by 0 or 1 from one column to the
//   next, so a row is one bit per column. The rows are computed with the bit-parallel LCS
//   recurrence (64 columns per machine word) on the reversed sequences, which turns suffixes
//   into prefixes; a length is then a count of clear bits over a row prefix.
//
// Lines are compared as numbers: equal (canonically equivalent) lines get the same one.

#include "developer/DocumentDiff.h"

#include "developer/LineNumbering.h"

#include <algorithm>
#include <bit>
#include <cmath>
#if defined(__x86_64__)
#include <immintrin.h>
#endif
#include <optional>
#include <vector>

namespace DocumentDiff {

namespace {

using Word = quint64;

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) &&                             \
    !defined(__SANITIZE_THREAD__) && !defined(__SANITIZE_ADDRESS__)
// The baseline x86-64 target has no popcount instruction; pick it at load time where the CPU
// has one. Not under the sanitizers: the load-time resolver runs before their runtime is up.
#define PENDREL_POPCOUNT_CLONES __attribute__((target_clones("popcnt", "default")))
#else
#define PENDREL_POPCOUNT_CLONES
#endif

// Bit rows of the suffix-LCS table. Row k describes the suffixes of the first sequence that
// start at line n - k: its bit c (counted in the reversed second sequence) is clear when taking
// one more line of the second sequence, line m - 1 - c, lengthens the common subsequence.
//
// Only every 64th row is kept. The walk visits rows from n down to 0, so it asks for one block
// of 65 rows at a time; the block is computed again from its checkpoint, with the running count
// of clear bits at every word, which makes each length question constant time. Memory is a
// 64th of the full bit table; time is two passes of the recurrence.
class BitTable {
public:
    static constexpr size_t blockRows = 64;

    BitTable(const std::vector<int>& a, const std::vector<int>& b, int idCount,
             const CancelToken& cancel)
        : m_a(a), m_n(a.size()), m_m(b.size()), m_words((b.size() + 63) / 64), m_cancel(cancel) {
        // Where each line number occurs in the reversed second sequence, grouped by number.
        m_start.assign(size_t(idCount) + 1, 0);
        for (int id : b)
            ++m_start[size_t(id) + 1];
        for (size_t k = 1; k < m_start.size(); ++k)
            m_start[k] += m_start[k - 1];
        m_positions.resize(m_m);
        std::vector<int> fill(m_start.begin(), m_start.end() - 1);
        for (size_t c = 0; c < m_m; ++c)
            m_positions[size_t(fill[size_t(b[m_m - 1 - c])]++)] = int(c);
        m_match.assign(m_words, 0);

        m_checkpoints.assign((m_n / blockRows + 1) * m_words, ~Word(0));
        std::vector<Word> v(m_words, ~Word(0)), next(m_words);
        for (size_t k = 1; k <= m_n; ++k) {
            if ((k & 255) == 0 && cancelled())
                return;
            step(k, v.data(), next.data());
            v.swap(next);
            if (k % blockRows == 0)
                std::copy(v.begin(), v.end(),
                          m_checkpoints.begin() + ptrdiff_t(k / blockRows * m_words));
        }
        m_rows.resize((blockRows + 1) * m_words);
        m_zeros.resize((blockRows + 1) * (m_words + 1));
    }

    bool cancelled() const {
        m_cancelled = m_cancelled || m_cancel.isCancelled();
        return m_cancelled;
    }

    // Makes the rows of a walk step at line i of the first sequence available: rows n - i - 1
    // and n - i (i < n).
    void focus(size_t i) {
        const size_t block = (m_n - i - 1) / blockRows;
        if (block != m_block)
            loadBlock(block);
    }

    // LCS(a[i..], b[j..]); row n - i must be in the focused block.
    qint64 lcs(size_t i, size_t j) const {
        const size_t r = m_n - i - m_block * blockRows;
        const size_t bits = m_m - j; // the first `bits` columns of the reversed sequence
        const quint32* zeros = m_zeros.data() + r * (m_words + 1);
        qint64 count = zeros[bits / 64];
        if (const size_t rest = bits % 64)
            count += rest - popcount(m_rows[r * m_words + bits / 64] & ((Word(1) << rest) - 1));
        return count;
    }

private:
    PENDREL_POPCOUNT_CLONES static int popcount(Word w) { return std::popcount(w); }

    static Word addWithCarry(Word x, Word y, unsigned char& carry) {
#if defined(__x86_64__)
        unsigned long long sum;
        carry = _addcarry_u64(carry, x, y, &sum);
        return sum;
#else
        const Word partial = x + y;
        const Word sum = partial + carry;
        carry = (partial < x || sum < partial) ? 1 : 0;
        return sum;
#endif
    }

    // Row k from row k - 1: V' = (V + U) | (V - U) with U = V & M, carried across words.
    void step(size_t k, const Word* v, Word* out) {
        const int id = m_a[m_n - k];
        const int from = m_start[size_t(id)], to = m_start[size_t(id) + 1];
        if (from == to) {
            std::copy(v, v + m_words, out); // a line the second file lacks changes nothing
            return;
        }
        for (int p = from; p < to; ++p)
            m_match[size_t(m_positions[size_t(p)]) / 64] |= Word(1)
                                                            << (m_positions[size_t(p)] % 64);
        // U is a subset of V, so V - U is V & ~U and borrows nothing; only the sum carries.
        unsigned char carry = 0;
        for (size_t w = 0; w < m_words; ++w) {
            const Word u = v[w] & m_match[w];
            out[w] = addWithCarry(v[w], u, carry) | (v[w] & ~u);
        }
        for (int p = from; p < to; ++p)
            m_match[size_t(m_positions[size_t(p)]) / 64] = 0;
    }

    PENDREL_POPCOUNT_CLONES void countZeros(size_t r) {
        const Word* row = m_rows.data() + r * m_words;
        quint32* zeros = m_zeros.data() + r * (m_words + 1);
        quint32 running = 0;
        for (size_t w = 0; w < m_words; ++w) {
            zeros[w] = running;
            running += quint32(64 - std::popcount(row[w]));
        }
        zeros[m_words] = running;
    }

    void loadBlock(size_t block) {
        m_block = block;
        const size_t first = block * blockRows;
        const size_t last = std::min(first + blockRows, m_n);
        std::copy_n(m_checkpoints.begin() + ptrdiff_t(block * m_words), m_words, m_rows.begin());
        countZeros(0);
        for (size_t k = first + 1; k <= last; ++k) {
            const size_t r = k - first;
            step(k, m_rows.data() + (r - 1) * m_words, m_rows.data() + r * m_words);
            countZeros(r);
        }
    }

    const std::vector<int>& m_a;
    size_t m_n, m_m, m_words;
    const CancelToken& m_cancel;
    mutable bool m_cancelled = false;
    std::vector<int> m_start, m_positions;
    std::vector<Word> m_match, m_checkpoints, m_rows;
    std::vector<quint32> m_zeros;
    size_t m_block = size_t(-1);
};

// The frontiers of Myers' greedy search over the reversed sequences, kept for every distance up
// to the whole pair's. A point (x, y) of the reversed search stands for the suffixes a[n - x..]
// and b[m - y..]; its distance D only ever grows along a diagonal k = x - y, so "D(x, y) <= d"
// holds exactly when x is at most the frontier of distance d on diagonal k.
class Frontiers {
public:
    // Searches up to maxDistance; beyond it (or when cancelled) found() is false.
    Frontiers(const std::vector<int>& a, const std::vector<int>& b, qint64 maxDistance,
              const CancelToken& cancel)
        : m_n(qint64(a.size())), m_m(qint64(b.size())) {
        const qint64 n = m_n, m = m_m;
        // Frontier d covers diagonals -d, -d + 2, …, d: d + 1 buckets from m_start[d].
        std::vector<qint64> previous;
        for (qint64 d = 0; d <= maxDistance; ++d) {
            if ((d & 63) == 0 && cancel.isCancelled())
                return;
            m_start.push_back(qint64(m_x.size()));
            for (qint64 k = -d; k <= d; k += 2) {
                qint64 x;
                if (d == 0)
                    x = 0;
                else if (k == -d || (k != d && at(d - 1, k - 1) < at(d - 1, k + 1)))
                    x = at(d - 1, k + 1); // a line of b
                else
                    x = at(d - 1, k - 1) + 1; // a line of a
                qint64 y = x - k;
                while (x < n && y < m && a[size_t(n - 1 - x)] == b[size_t(m - 1 - y)]) {
                    ++x;
                    ++y;
                }
                m_x.push_back(int(x));
                if (x >= n && y >= m) {
                    m_distance = d;
                    return;
                }
            }
        }
    }

    bool found() const { return m_distance >= 0; }
    qint64 distance() const { return m_distance; }

    // Whether the suffixes a[i..] and b[j..] are at most `d` apart (d <= distance()).
    bool within(qint64 i, qint64 j, qint64 d) const {
        const qint64 x = m_n - i, y = m_m - j, k = x - y;
        if (d < 0 || k > d || k < -d)
            return false;
        return at(d, k) >= x;
    }

private:
    qint64 at(qint64 d, qint64 k) const { return m_x[size_t(m_start[size_t(d)] + (k + d) / 2)]; }

    qint64 m_n, m_m;
    qint64 m_distance = -1;
    std::vector<qint64> m_start;
    std::vector<int> m_x;
};

// The diff of two sequences of lines; `left(i)` and `right(j)` make the text a row shows of
// line i of the first and line j of the second, and `sameText(i, j, identical, row)` makes both
// texts of a Same row, told whether the two lines are known to be identical (not only
// equivalent). `firstRows` as lineDiffOfViews takes it.
template <typename Left, typename Right, typename SameText>
LineDiff diff(const std::vector<QStringView>& first, const std::vector<QStringView>& second,
              Left left, Right right, SameText sameText, const CancelToken& cancel,
              const FirstRows& firstRows = {}, qsizetype firstCount = 0) {
    const LineNumbering::Numbered numbered = LineNumbering::number(first, second);
    const std::vector<int>& a = numbered.a;
    const std::vector<int>& b = numbered.b;
    const qint64 n = qint64(a.size()), m = qint64(b.size());

    // No distance can be below what the lines the sides share at most leave over.
    std::vector<int> inB(size_t(numbered.count), 0);
    for (int id : b)
        ++inB[size_t(id)];
    qint64 shared = 0;
    for (int id : a) {
        if (inB[size_t(id)] > 0) {
            --inB[size_t(id)];
            ++shared;
        }
    }
    // The frontiers cost about the square of the distance, the bit table n·m/32 word steps (each
    // a good deal cheaper than a frontier slot), and the frontiers' memory is bounded; the search
    // stops before the table would have been much cheaper (2,500 at 20,000 a side), so that a
    // pair it gives up on costs little more than the table alone.
    const qint64 cheaper = qint64(std::sqrt(double(n) * double(m) / 64.0));
    const qint64 maxDistance = std::min<qint64>(4000, std::max<qint64>(64, cheaper));
    std::optional<Frontiers> frontiers;
    std::optional<BitTable> table;
    if (shared > 0 && n + m - 2 * shared <= maxDistance) {
        frontiers.emplace(a, b, maxDistance, cancel);
        if (cancel.isCancelled())
            return {};
        if (!frontiers->found())
            frontiers.reset();
    }
    if (shared > 0 && !frontiers) {
        table.emplace(a, b, numbered.count, cancel);
        if (table->cancelled())
            return {};
    }
    if (cancel.isCancelled())
        return {};
    // The distance of the suffixes the walk stands at: unchanged by a match, one less after any
    // other step, since the walk only ever steps to a nearer pair.
    qint64 distance = frontiers ? frontiers->distance() : 0;
    // Off a match, whether taking a[i] keeps the longer common subsequence than taking b[j]
    // (i < n, j < m). One of the two steps is always one nearer; a tie goes to b[j].
    auto takeFirst = [&](size_t i, size_t j) {
        if (frontiers)
            return !frontiers->within(qint64(i), qint64(j) + 1, distance - 1);
        if (table) {
            table->focus(i);
            return table->lcs(i + 1, j) > table->lcs(i, j + 1);
        }
        return false; // nothing in common: every length is 0
    };

    LineDiff result;
    result.rows.reserve(qsizetype(first.size() + second.size()));
    std::vector<size_t> removed, added; // pending line indexes between two matches
    qint64 counter = 0;

    // Rows are only ever appended, so the first ones made are the result's first ones. Called
    // once each row is complete.
    bool handed = !firstRows || firstCount <= 0;
    auto handOver = [&] {
        if (!handed && result.rows.size() == firstCount) {
            handed = true;
            firstRows(result.rows.first(firstCount)); // a copy: the result keeps its room
        }
    };
    auto flush = [&] {
        const size_t count = std::max(removed.size(), added.size());
        for (size_t k = 0; k < count; ++k) {
            DiffRow& row = result.rows.emplace_back();
            row.id = counter++;
            if (k < removed.size()) {
                row.leftNumber = qint64(removed[k]) + 1;
                row.leftText = left(removed[k]);
            }
            if (k < added.size()) {
                row.rightNumber = qint64(added[k]) + 1;
                row.rightText = right(added[k]);
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
            handOver();
        }
        removed.clear();
        added.clear();
    };

    size_t i = 0, j = 0;
    const size_t rowsA = a.size(), rowsB = b.size();
    for (;;) {
        if (i < rowsA && j < rowsB && a[i] == b[j]) {
            flush();
            DiffRow& row = result.rows.emplace_back();
            row.id = counter++;
            row.kind = DiffRow::Kind::Same;
            row.leftNumber = qint64(i) + 1;
            row.rightNumber = qint64(j) + 1;
            sameText(i, j, numbered.verbatim, row);
            handOver();
            ++i;
            ++j;
        } else if (i < rowsA && (j == rowsB || takeFirst(i, j))) {
            removed.push_back(i++);
            --distance;
        } else if (j < rowsB) {
            added.push_back(j++);
            --distance;
        } else {
            flush();
            break;
        }
    }
    return result;
}

} // namespace

LineDiff lineDiff(const QStringList& first, const QStringList& second, const CancelToken& cancel) {
    const std::vector<QStringView> a(first.cbegin(), first.cend());
    const std::vector<QStringView> b(second.cbegin(), second.cend());
    // The rows share the lists' own strings.
    return diff(
        a, b, [&](size_t i) { return first.at(qsizetype(i)); },
        [&](size_t j) { return second.at(qsizetype(j)); },
        [&](size_t i, size_t j, bool, DiffRow& row) {
            row.leftText = first.at(qsizetype(i));
            row.rightText = second.at(qsizetype(j));
        },
        cancel);
}

LineDiff lineDiffOfViews(const std::vector<QStringView>& first,
                         const std::vector<QStringView>& second, const CancelToken& cancel,
                         const FirstRows& firstRows, qsizetype firstCount) {
    return diff(
        first, second, [&](size_t i) { return first[i].toString(); },
        [&](size_t j) { return second[j].toString(); },
        [&](size_t i, size_t j, bool identical, DiffRow& row) {
            // Equal lines are nearly always identical: one string then serves both sides.
            row.leftText = first[i].toString();
            row.rightText =
                identical || first[i] == second[j] ? *row.leftText : second[j].toString();
        },
        cancel, firstRows, firstCount);
}

} // namespace DocumentDiff
