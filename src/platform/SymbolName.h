#pragma once

#include <cstddef>
#include <QString>

// A symbol (icon) name as the app's tables write it ("house", "cup.and.saucer.fill").
// Written in code as "house"_sym, so a test can find every name used anywhere in the sources and
// check that each one has an icon. Converts to QString; QtCore only, so models may hold them.
struct SymbolName {
    const char* name;
    operator QString() const { return QString::fromLatin1(name); }
};

constexpr SymbolName operator""_sym(const char* s, std::size_t) {
    return SymbolName{s};
}
