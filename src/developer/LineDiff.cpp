// The line diff of DocumentDiff.
//
// The walk needs, at each step, the length of the longest common subsequence of two suffixes,
// LCS(a[i..], b[j..]). A full table of those lengths holds (n + 1)(m + 1) integers: 3.2 GB for
// 20,000 lines a side. Along any row of that table the length drops by 0 or 1 from one column
// to the next, so a row is fully described by one bit per column. The rows are computed with
// the bit-parallel LCS recurrence (64 columns per machine word) on the reversed sequences,
// which turns suffixes into prefixes; a length is then a count of clear bits over a row prefix.
// The walk asks the same questions as with the full table, so rows, order and tie-breaks are
// the same.

#include "developer/DocumentDiff.h"

#include <bit>
#if defined(__x86_64__)
#include <immintrin.h>
#endif
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

} // namespace

LineDiff lineDiff(const QStringList& first, const QStringList& second, const CancelToken& cancel) {
    const auto [a, b] = numberLines(first, second);
    int idCount = 0;
    for (int id : a)
        idCount = std::max(idCount, id + 1);
    for (int id : b)
        idCount = std::max(idCount, id + 1);
    BitTable table(a, b, idCount, cancel);
    if (table.cancelled())
        return {};

    LineDiff result;
    result.rows.reserve(first.size() + second.size());
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
        } else if (i < n &&
                   (j == m || (table.focus(i), table.lcs(i + 1, j) > table.lcs(i, j + 1)))) {
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
