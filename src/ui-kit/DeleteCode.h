#pragma once

#include <functional>
#include <QString>
#include <QtGlobal>

// The four-digit code that confirms a destructive action.
namespace DeleteCode {

// A source of uniformly random 32-bit values. The default is the system's secure source.
using RandomSource = std::function<quint32()>;
RandomSource systemSource();

// A number drawn uniformly from 0 to 9999 (values of the source above the largest multiple of
// 10000 are drawn again, so there is no modulo bias), written with four digits: "0042".
QString make(const RandomSource& source = systemSource());

// The entry confirms only when it is exactly the code: no trimming, no leading-zero removal,
// no conversion to a number.
inline bool matches(const QString& entry, const QString& code) {
    return !code.isEmpty() && entry == code;
}

} // namespace DeleteCode
