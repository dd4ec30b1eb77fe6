#pragma once

#include <QString>

// A screen's fixed wording reads as a table of named texts, one line a text, rather than a
// function around every string. PENDREL_TEXT(name, "…") defines `QString name()`, declared in the
// screen's <Screen>Text.h, returning that text; a long text goes on over several lines as
// adjacent literals. A text that takes an argument or makes a choice stays a function of its own.
#define PENDREL_TEXT(name, text)                                                                   \
    QString name() {                                                                               \
        return QStringLiteral(text);                                                               \
    }
