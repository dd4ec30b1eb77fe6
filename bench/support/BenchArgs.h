#pragma once

#include <algorithm>
#include <cstdio>
#include <optional>
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

// The one command line every benchmark reads. A benchmark names its options and how many operands
// (trees, folders, terms) it takes; anything else is refused before it writes a byte, so a
// mistyped option can never be taken for the folder to fill. `--help` (or `-h`) prints the usage
// on standard output and ends the program with 0; a usage error prints the reason and the usage on
// standard error and ends it with 2. After `--`, every word is an operand, so a folder whose name
// starts with a dash can still be given.
// Header-only, like BenchProcess: each benchmark is one program with no library of its own.
namespace BenchArgs {

struct Option {
    enum class Kind { Flag, Text, Number };
    QString name; // with its dashes: "--threads"
    Kind kind = Kind::Flag;
    QString value; // what the usage calls the value: "N", "DIR"
    QString help;  // one line
};

inline Option flag(const QString& name, const QString& help) {
    return {name, Option::Kind::Flag, {}, help};
}
inline Option text(const QString& name, const QString& value, const QString& help) {
    return {name, Option::Kind::Text, value, help};
}
// A whole number, 0 or more.
inline Option number(const QString& name, const QString& help) {
    return {name, Option::Kind::Number, QStringLiteral("N"), help};
}

struct Command {
    QString program;
    QString operands; // as the usage line shows them: "TREE", "[TREE [TERM]]"
    int minOperands = 0;
    int maxOperands = 0;
    std::vector<Option> options;
    QString about; // what the program measures, after the usage line
};

inline QString usage(const Command& command) {
    QString line = QStringLiteral("usage: ") + command.program;
    for (const Option& o : command.options)
        line += QStringLiteral(" [") + o.name +
                (o.value.isEmpty() ? QString() : QLatin1Char(' ') + o.value) + QLatin1Char(']');
    if (!command.operands.isEmpty())
        line += QLatin1Char(' ') + command.operands;
    line += QLatin1Char('\n');
    if (!command.about.isEmpty())
        line += command.about + QLatin1Char('\n');
    const auto describe = [&line](const QString& head, const QString& help) {
        line += (QStringLiteral("  ") + head).leftJustified(24) + QLatin1Char(' ') + help +
                QLatin1Char('\n');
    };
    for (const Option& o : command.options)
        describe(o.name + (o.value.isEmpty() ? QString() : QLatin1Char(' ') + o.value), o.help);
    describe(QStringLiteral("--help"), QStringLiteral("this text"));
    return line;
}

class Parsed {
public:
    // Set when the program should end at once with this status: 0 after --help, 2 after a usage
    // error (both already printed).
    std::optional<int> exitNow;
    QStringList operands;

    bool has(const QString& name) const { return m_given.contains(name); }
    QString text(const QString& name, const QString& fallback = {}) const {
        return m_given.value(name, fallback);
    }
    // A number option's value, or fallback when it was not given.
    int number(const QString& name, int fallback) const {
        return has(name) ? m_given.value(name).toInt() : fallback;
    }
    // For what only the benchmark can tell (operands that go with a mode): prints `why` and the
    // usage on standard error; the status to end with.
    int usageError(const QString& why) const {
        std::fprintf(stderr, "%s: %s\n%s", qPrintable(m_program), qPrintable(why),
                     qPrintable(m_usage));
        return 2;
    }

private:
    friend Parsed parse(const QStringList& args, const Command& command);
    QHash<QString, QString> m_given;
    QString m_program;
    QString m_usage;
};

// args without the program's own name.
inline Parsed parse(const QStringList& args, const Command& command) {
    Parsed out;
    out.m_program = command.program;
    out.m_usage = usage(command);
    const auto fail = [&](const QString& why) {
        out.exitNow = out.usageError(why);
        return out;
    };
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& word = args.at(i);
        if (optionsEnded || !word.startsWith(QLatin1Char('-')) || word == QLatin1String("-")) {
            out.operands.append(word);
            continue;
        }
        if (word == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (word == QLatin1String("--help") || word == QLatin1String("-h")) {
            std::fputs(qPrintable(out.m_usage), stdout);
            out.exitNow = 0;
            return out;
        }
        const auto option = std::find_if(command.options.begin(), command.options.end(),
                                         [&](const Option& o) { return o.name == word; });
        if (option == command.options.end())
            return fail(QStringLiteral("unknown option ") + word);
        if (option->kind == Option::Kind::Flag) {
            out.m_given.insert(word, QString());
            continue;
        }
        if (i + 1 >= args.size())
            return fail(word + QStringLiteral(" needs a value"));
        const QString value = args.at(++i);
        if (option->kind == Option::Kind::Number) {
            bool ok = false;
            if (value.toInt(&ok) < 0 || !ok)
                return fail(word + QStringLiteral(" takes a whole number, not ") + value);
        }
        out.m_given.insert(word, value);
    }
    if (out.operands.size() < command.minOperands || out.operands.size() > command.maxOperands)
        return fail(command.operands.isEmpty()
                        ? QStringLiteral("takes no operand")
                        : QStringLiteral("wrong number of operands, wants ") + command.operands);
    return out;
}

inline Parsed parse(int argc, char** argv, const Command& command) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    return parse(args, command);
}

// --cold: also time every program with the page cache dropped before each run (as root).
inline Option coldFlag() {
    return flag(QStringLiteral("--cold"),
                QStringLiteral("also time each program with a cold cache (as root)"));
}

// The command line of a benchmark over one tree, `[--once] [--threads N] [--cold] TREE`, where
// --once is the single timed run of ours, --threads the walker threads and --cold adds cold
// timings.
inline Command treeCommand(const QString& program, const QString& about) {
    return {program,
            QStringLiteral("TREE"),
            1,
            1,
            {flag(QStringLiteral("--once"), QStringLiteral("one run of ours, as it is timed")),
             number(QStringLiteral("--threads"),
                    QStringLiteral("walker threads (default: the app's own rule)")),
             coldFlag()},
            about};
}

} // namespace BenchArgs
