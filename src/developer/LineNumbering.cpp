#include "developer/LineNumbering.h"

#include <algorithm>
#include <cstring>
#include <QString>
#include <QtGlobal>

namespace LineNumbering {

namespace {

// A line as compared: canonically equivalent lines have the same key.
struct LineKey {
    const char16_t* data = nullptr;
    qsizetype size = 0;
    quint64 hash = 0;
};

// The hash of a line's characters, and in `wide` whether any of them is U+0100 or above.
quint64 hashOf(const char16_t* data, qsizetype size, bool& wide) {
    // Eight bytes at a time, each word mixed by multiplication into one of two lanes, so that
    // the two chains of multiplications overlap; the length seeds them.
    constexpr quint64 k1 = 0x9E3779B97F4A7C15ull, k2 = 0xC2B2AE3D27D4EB4Full;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    const size_t n = size_t(size) * 2;
    quint64 h1 = quint64(size) * k1, h2 = ~quint64(size) * k2;
    quint64 seen = 0;
    auto mix = [&seen](quint64& h, quint64 w, quint64 k) {
        seen |= w;
        h = (h ^ w) * k;
        h ^= h >> 29;
    };
    size_t at = 0;
    for (; at + 16 <= n; at += 16) {
        quint64 w1, w2;
        std::memcpy(&w1, bytes + at, 8);
        std::memcpy(&w2, bytes + at + 8, 8);
        mix(h1, w1, k1);
        mix(h2, w2, k2);
    }
    if (at + 8 <= n) {
        quint64 w;
        std::memcpy(&w, bytes + at, 8);
        mix(h1, w, k1);
        at += 8;
    }
    if (at < n) {
        // The last bytes: the word that ends with them when the line has one (the overlap is
        // the same for every line of this length), else assembled in two-byte steps.
        quint64 w = 0;
        if (n >= 8) {
            std::memcpy(&w, bytes + n - 8, 8);
        } else {
            if (n & 4)
                std::memcpy(&w, bytes + at, 4);
            if (n & 2) {
                quint16 last;
                std::memcpy(&last, bytes + n - 2, 2);
                w |= quint64(last) << ((n & 4) * 8);
            }
        }
        mix(h2, w, k2);
    }
    wide = (seen & 0xFF00FF00FF00FF00ull) != 0;
    // A full finalizer: the table takes its low bits, the tag its high ones.
    quint64 h = h1 ^ ((h2 << 31) | (h2 >> 33));
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    return h ^ (h >> 33);
}

} // namespace

Numbered number(const std::vector<QStringView>& first, const std::vector<QStringView>& second) {
    const size_t total = first.size() + second.size();
    // Every line's key and hash first, in one sequential pass; the table is then probed with the
    // bucket of a line a few ahead already on its way into the cache.
    std::vector<LineKey> keys(total);
    std::vector<QString> normalized; // keeps the normalized keys' characters alive
    auto keyOf = [&normalized](QStringView line) {
        const auto* d = reinterpret_cast<const char16_t*>(line.data());
        const qsizetype n = line.size();
        bool wide = false;
        LineKey key{d, n, hashOf(d, n, wide)};
        if (!wide || std::none_of(d, d + n, [](char16_t c) { return c >= 0x300; }))
            return key;
        normalized.push_back(line.toString().normalized(QString::NormalizationForm_C));
        key.data = reinterpret_cast<const char16_t*>(normalized.back().constData());
        key.size = normalized.back().size();
        key.hash = hashOf(key.data, key.size, wide);
        return key;
    };
    // Keys point into the lines' own characters or the normalized QStrings' buffers, which stay
    // put when the vector grows.
    size_t at = 0;
    for (const QStringView line : first)
        keys[at++] = keyOf(line);
    for (const QStringView line : second)
        keys[at++] = keyOf(line);

    // At most two thirds full even when every line differs; small enough to stay in cache.
    size_t capacity = 16;
    while (capacity * 2 < total * 3)
        capacity *= 2;
    const size_t mask = capacity - 1;
    // Each bucket: the first line with its key (-1: free) and 32 bits of the hash, so that a
    // probe only reads a key when those agree.
    struct Bucket {
        int line = -1;
        quint32 tag = 0;
    };
    std::vector<Bucket> buckets(capacity);
    std::vector<int> ids(total);
    int count = 0;
    constexpr size_t ahead = 8;
    for (size_t line = 0; line < total; ++line) {
        if (line + ahead < total)
            __builtin_prefetch(&buckets[size_t(keys[line + ahead].hash) & mask]);
        const LineKey& key = keys[line];
        const auto tag = quint32(key.hash >> 32);
        for (size_t probe = size_t(key.hash) & mask;; probe = (probe + 1) & mask) {
            Bucket& bucket = buckets[probe];
            if (bucket.line < 0) {
                bucket = Bucket{int(line), tag};
                ids[line] = count++;
                break;
            }
            if (bucket.tag != tag)
                continue;
            const LineKey& other = keys[size_t(bucket.line)];
            if (other.hash == key.hash && other.size == key.size &&
                std::memcmp(other.data, key.data, size_t(key.size) * 2) == 0) {
                ids[line] = ids[size_t(bucket.line)];
                break;
            }
        }
    }
    Numbered out;
    out.a.assign(ids.begin(), ids.begin() + ptrdiff_t(first.size()));
    out.b.assign(ids.begin() + ptrdiff_t(first.size()), ids.end());
    out.count = count;
    out.verbatim = normalized.empty();
    return out;
}

} // namespace LineNumbering
