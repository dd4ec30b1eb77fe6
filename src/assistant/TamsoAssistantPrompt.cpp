// What the language model is told: the instructions (who it is, the app's sections, the rules it
// must keep) and the prompt (live figures, the screen, the conversation so far, the user's
// timeline, the question). Both are plain text, rebuilt for every question.
#include "assistant/TamsoAssistant.h"

#include "platform/ByteFormat.h"
#include "shell/QKFeature.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// A figure as a whole number, the fraction dropped towards zero. Not-a-number reads 0 and what
// lies beyond a 64-bit integer reads as its nearest end, so a bad figure never breaks the line.
QString wholeNumber(double value) {
    if (std::isnan(value))
        return QStringLiteral("0");
    constexpr double limit = 9.2e18; // within qint64, beyond any real percentage
    return QString::number(qint64(std::trunc(std::clamp(value, -limit, limit))));
}

QString celsius(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
    return QString::fromLatin1(buffer) + QStringLiteral("°C");
}

// Blanks (spaces and tabs) but not line breaks.
bool isBlank(QChar c) {
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

QString trimBlanks(const QString& text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isBlank(text.at(start)))
        ++start;
    while (end > start && isBlank(text.at(end - 1)))
        --end;
    return text.mid(start, end - start);
}

} // namespace

QString TamsoAssistant::introduction() {
    return QStringLiteral("You are Pendrel, the assistant inside the Pendrel utility app for "
                          "Linux.\n\nThese are the only sections Pendrel has:\n");
}

QString TamsoAssistant::sectionLine(const QKFeature& feature) {
    const QStringList pieces = feature.blurb.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    const QString sentence = pieces.isEmpty() ? QString() : trimBlanks(pieces.constFirst());
    if (sentence.isEmpty())
        return QStringLiteral("- ") + feature.title;
    return QStringLiteral("- ") + feature.title + QStringLiteral(": ") + sentence +
           QLatin1Char('.');
}

QString TamsoAssistant::sectionList() {
    QStringList lines;
    for (const QKFeature& feature : QKFeature::all())
        lines.append(sectionLine(feature));
    return lines.join(QLatin1Char('\n'));
}

QString TamsoAssistant::hardRules() {
    static const char* const lines[] = {
        "Hard rules, in order of importance:",
        "1. Never mention a screen, tab, button or feature that is not in the list above.",
        "   Pendrel has no Memory tab, no Node.js tab and no settings beyond the ones",
        "   listed. If you are about to name a place in the app, it must be one of those",
        "   section names, exactly as written.",
        "2. Never state a number you were not given. If the user asks how much space",
        "   something takes and it is not in the live data above, say plainly that you",
        "   have not measured it, and name the section that would.",
        "3. Pendrel is a Mac maintenance app. It does not manage, run or build projects",
        "   of any kind. If a question assumes otherwise, correct it gently.",
        "4. Answer in two or three plain sentences a non-technical person understands.",
        "   Never suggest terminal commands. Never suggest deleting anything specific;",
        "   point at the cleaner, which measures and previews everything first.",
        "   For heat questions, use the thermal pressure and CPU temperature from the",
        "   live data. Do not invent sensor readings. Do not suggest manual fan control.",
        "5. If the user asks to find or search for files or photos, tell them to type the",
        "   description into the Find panel on the right of this screen, and nothing else.",
        "6. If you do not know, say you do not know. A short honest answer is correct.",
        "   A confident wrong one is not.",
    };
    QStringList joined;
    for (const char* line : lines)
        joined.append(QString::fromUtf8(line));
    return QStringLiteral("\n\n") + joined.join(QLatin1Char('\n'));
}

QString TamsoAssistant::instructions() {
    return introduction() + sectionList() + hardRules();
}

QString TamsoAssistant::liveDataLine(const SystemSnapshot& s) {
    QStringList cpu;
    for (const ProcessCPUInfo& p : s.topCPUProcesses)
        cpu.append(p.name + QLatin1Char(' ') + wholeNumber(p.cpuPercent) + QLatin1Char('%'));
    QStringList memory;
    for (const ProcessMemoryInfo& p : s.topProcesses)
        memory.append(p.name + QLatin1Char(' ') + formatBytesClamped(p.memoryBytes));
    const QString temperature = s.thermal.cpuCelsius ? QStringLiteral(", CPU temperature about ") +
                                                           celsius(*s.thermal.cpuCelsius)
                                                     : QString();
    return QStringLiteral("Live data from this Mac: memory ") + formatBytesClamped(s.memUsedBytes) +
           QStringLiteral(" used of ") + formatBytesClamped(s.memTotalBytes) +
           QStringLiteral(", CPU ") + wholeNumber(s.cpuPercent) + QStringLiteral("%, disk ") +
           formatBytes(s.diskFreeBytes) + QStringLiteral(" free of ") +
           formatBytes(s.diskTotalBytes) + QStringLiteral(", thermal pressure ") +
           pressureWord(s.thermal.pressure) + temperature +
           QStringLiteral(", top CPU processes: ") +
           (cpu.isEmpty() ? QStringLiteral("none") : cpu.join(QStringLiteral(", "))) +
           QStringLiteral(", top memory processes: ") + memory.join(QStringLiteral(", ")) +
           QLatin1Char('.');
}

QString TamsoAssistant::transcript(const QList<TamsoMessage>& earlier) {
    QStringList lines;
    for (qsizetype i = std::max<qsizetype>(0, earlier.size() - 6); i < earlier.size(); ++i) {
        const TamsoMessage& m = earlier.at(i);
        lines.append((m.role == TamsoMessage::Role::User ? QStringLiteral("User: ")
                                                         : QStringLiteral("Pendrel: ")) +
                     m.text);
    }
    return lines.join(QLatin1Char('\n'));
}

QString TamsoAssistant::prompt(const QString& q, const SystemSnapshot& snapshot,
                               const std::optional<TamsoScreenContext>& screen,
                               const QString& transcript, const QString& pinned,
                               const QString& recent) {
    QString text = liveDataLine(snapshot);
    if (screen) {
        text += QStringLiteral("\nThe user is currently looking at: ") +
                sentenceEnd(describeScreen(screen->featureTitle, screen->detail));
    }
    if (!transcript.isEmpty())
        text += QStringLiteral("\n\nEarlier in this conversation:\n") + transcript;
    if (!pinned.isEmpty())
        text += QStringLiteral("\n\nPinned insights the user saved:\n") + pinned;
    if (!recent.isEmpty())
        text += QStringLiteral("\n\nRecent Pendrel activity on this Mac:\n") + recent;
    return text + QStringLiteral("\n\nQuestion: ") + q;
}
