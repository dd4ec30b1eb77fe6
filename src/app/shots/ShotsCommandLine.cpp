#include "app/shots/ShotsCommandLine.h"

namespace ShotsCommandLine {

Parsed parse(const QStringList& args) {
    Parsed out;
    bool optionsEnded = false;
    QStringList operands;
    for (const QString& word : args) {
        if (!optionsEnded && word == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded &&
                   (word == QLatin1String("--help") || word == QLatin1String("-h"))) {
            out.help = true;
            return out;
        } else if (!optionsEnded && word.size() > 1 && word.startsWith(QLatin1Char('-'))) {
            out.error = QStringLiteral("unknown option ") + word;
            return out;
        } else {
            operands.append(word);
        }
    }
    if (operands.size() != 1 || operands.first().isEmpty())
        out.error = operands.isEmpty() ? QStringLiteral("no OUTDIR given")
                                       : QStringLiteral("one OUTDIR only");
    else
        out.outDir = operands.first();
    return out;
}

} // namespace ShotsCommandLine
