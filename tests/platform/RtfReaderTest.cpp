// The RTF reader's kinds of token: groups and the destinations they hide, control symbols,
// control words with their parameters, and bytes in the document's code page.
#include "platform/RtfReader.h"

#include <gtest/gtest.h>

namespace {

QString read(const char* body) {
    return RtfReader::text(QByteArray("{\\rtf1 ") + body + "}").value_or(QStringLiteral("<none>"));
}

} // namespace

TEST(RtfReader, OnlyADocumentIsRead) {
    EXPECT_EQ(RtfReader::text("plain words"), std::nullopt);
    EXPECT_EQ(RtfReader::text("{\\rtf1 a}"), QStringLiteral("a"));
}

// A hidden destination, or any \* one, hides its group and the groups inside it, not what
// follows; a closing brace that closes no group ends the document.
TEST(RtfReader, GroupsScopeWhatTheyHide) {
    EXPECT_EQ(read("{\\fonttbl{\\f0 Helvetica;}}one{\\*\\unknown two{three}}four"),
              QStringLiteral("onefour"));
    EXPECT_EQ(read("a{b}c"), QStringLiteral("abc"));
    EXPECT_EQ(RtfReader::text("{\\rtf1 in}}out"), QStringLiteral("in"));
    // A lone backslash at the very end is no token.
    EXPECT_EQ(RtfReader::text("{\\rtf1 x\\"), QStringLiteral("x"));
}

TEST(RtfReader, ControlSymbols) {
    EXPECT_EQ(read("\\\\\\{\\}"), QStringLiteral("\\{}"));
    EXPECT_EQ(read("a\\~b\\_c"), QString::fromUtf16(u"a\u00A0b\u2011c"));
    EXPECT_EQ(read("a\\\nb"), QStringLiteral("a\nb"));
    // Line breaks in the source are not text.
    EXPECT_EQ(read("a\r\nb"), QStringLiteral("ab"));
}

// A word ends at its first non-letter; its parameter is at most 12 characters, signed; one space
// after it belongs to it.
TEST(RtfReader, ControlWordsAndTheirParameters) {
    EXPECT_EQ(read("one\\par two\\tab three\\cell\\line"), QStringLiteral("one\ntwo\tthree\t\n"));
    EXPECT_EQ(read("\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote"),
              QString::fromUtf16(u"\u2014\u2013\u2022\u2018\u2019\u201C\u201D"));
    EXPECT_EQ(read("\\b1 bold\\b0  plain"), QStringLiteral("bold plain"));
    // \bin skips exactly its count of raw bytes, braces and backslashes included.
    EXPECT_EQ(read("a\\bin3 {\\}b"), QStringLiteral("ab"));
    EXPECT_EQ(read("a\\bin99 xyz"), QStringLiteral("a"));
}

// \u gives its unit (negative numbers counted from 65536) and drops the \uc fallback characters
// after it, \uc being scoped to its group; a new group drops any fallback still due.
TEST(RtfReader, UnicodeAndItsFallback) {
    EXPECT_EQ(read("\\u8364?x"), QString::fromUtf16(u"\u20ACx"));
    EXPECT_EQ(read("\\u-3913?"), QString::fromUtf16(u"\uF0B7"));
    EXPECT_EQ(read("{\\uc2\\u233 ab}\\u233 ab"), QString::fromUtf16(u"\u00E9\u00E9b"));
    EXPECT_EQ(read("\\uc0\\u233 x"), QString::fromUtf16(u"\u00E9x"));
    EXPECT_EQ(read("\\uc3\\u233 a{b}"), QString::fromUtf16(u"\u00E9b"));
}

// Bytes, plain or as \'hh, are read in code page 1252 unless \ansicpg names another, which is
// read as Latin-1.
TEST(RtfReader, BytesInTheDocumentsCodePage) {
    EXPECT_EQ(read("\\'93q\\'94 \\'e9"), QString::fromUtf16(u"\u201Cq\u201D \u00E9"));
    EXPECT_EQ(RtfReader::text("{\\rtf1 \x80}"), QString::fromUtf16(u"\u20AC"));
    EXPECT_EQ(read("\\ansicpg1250 \\'93"), QString::fromUtf16(u"\u0093"));
}
