#pragma once

#include <QString>

// Names that come from outside the app (a process's command name, a window's class or title)
// are chosen by whoever started that program, so they can hold characters that break a label:
// line breaks that split one row over several, and the invisible direction controls (U+202E
// and its kin) that make the text around them read backwards.
namespace DisplayText {

// The text on one line and in reading order: tabs and line or paragraph breaks of every kind
// (U+000A–U+000D, U+0085, U+2028, U+2029) become spaces; other control characters (C0, DEL, C1)
// and the direction marks, embeddings, overrides and isolates (U+061C, U+200E, U+200F,
// U+202A–U+202E, U+2066–U+2069) are removed; spaces at both ends are trimmed. Everything else,
// letters of every script included, is kept as it is.
QString singleLine(const QString& text);

// How many characters a reader sees: grapheme clusters, so "é" written as e and a combining
// accent is one, as is a flag or a family emoji.
qsizetype perceivedLength(const QString& text);

} // namespace DisplayText
