#pragma once

#include <optional>
#include <QByteArray>
#include <QString>
#include <QVariant>

// Reads property lists in their XML form (the form an application bundle's Info.plist takes),
// from bytes that anyone may have written.
//
// Values map to QVariant: <dict> → QVariantMap (a key given twice keeps its last value),
// <array> → QVariantList, <string> → QString, <integer> → qint64 (decimal, or hexadecimal with
// "0x"; out of range is an error), <real> → double, <true/>/<false/> → bool, <date> → QDateTime
// (UTC, ISO 8601), <data> → QByteArray (base64, white space allowed).
//
// The reader is strict and bounded: the document must be one <plist> element holding exactly one
// value; an unknown element, text where no text belongs, a <dict> whose keys and values do not
// alternate, nesting deeper than kMaxDepth, or input larger than kMaxBytes is an error. Entities
// are never fetched from outside, and internal entity expansion is capped, so no input makes it
// hang or allocate beyond a small multiple of its size. Binary property lists are not read.
namespace PropertyList {

constexpr qsizetype kMaxBytes = 4 * 1024 * 1024;
constexpr int kMaxDepth = 64;

// The value of the document, or none with a one-line reason.
std::optional<QVariant> parse(const QByteArray& bytes, QString* error = nullptr);

// The top-level dictionary of a file, or none when the file is missing, unreadable, not a
// regular file, larger than kMaxBytes, malformed, or its top value is not a dictionary.
std::optional<QVariantMap> readDictionary(const QString& path, QString* error = nullptr);

} // namespace PropertyList
