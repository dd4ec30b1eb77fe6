#include "platform/DisplayText.h"

#include <QTextBoundaryFinder>

namespace DisplayText {

namespace {

bool breaksTheLine(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool isInvisibleControl(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

} // namespace

QString singleLine(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        if (breaksTheLine(c))
            out.append(QLatin1Char(' '));
        else if (!isInvisibleControl(c))
            out.append(qc);
    }
    return out.trimmed();
}

qsizetype perceivedLength(const QString& text) {
    if (text.isEmpty())
        return 0;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1)
        ++count;
    return count;
}

} // namespace DisplayText
