#pragma once

#include "platform/RawValue.h"

#include <optional>
#include <QDateTime>
#include <QJsonObject>
#include <QLocale>
#include <QMetaType>
#include <QString>
#include <QTimeZone>
#include <QUuid>

// One record of the activity timeline: an answer of the assistant, an approved action, an
// automation run (or an insight, which nothing records today but files may hold).
struct TimelineEntry {
    // Raw values "askAnswer", "automation", "action", "insight": stored in the file, so fixed.
    enum class Kind : quint8 { AskAnswer, Automation, Action, Insight };

    QUuid id;
    // Seconds since 1 January 2001 00:00:00 UTC, exactly as recorded or read, so that loading
    // and saving a file never moves a date.
    double date = 0;
    Kind kind = Kind::AskAnswer;
    QString title;  // one line, trimmed when recorded
    QString detail; // trimmed when recorded; may be empty
    // The section the entry belongs to; none when the writer gave none.
    std::optional<QString> featureID;
    bool pinned = false;

    QDateTime dateTime() const;

    // "[<short date and time> · <kind label>] <title> → <first 220 characters of detail>", the
    // characters being what a reader sees as one (a flag or an accented letter counts once).
    // The date is written in the locale's short format in the given time zone.
    QString promptLine(const QLocale& locale = QLocale(),
                       const QTimeZone& zone = QTimeZone::systemTimeZone()) const;

    // The object of the file: keys id, date, kind, title, detail, featureID (only when there is
    // one) and pinned.
    QJsonObject toJson() const;
    // Accepts the keys in any order and ignores unknown ones. Nothing when a required key is
    // missing or of the wrong JSON type, the id is not a UUID, the date not a finite number, the
    // kind none of its raw values, or featureID neither absent, null nor a string.
    static std::optional<TimelineEntry> fromJson(const QJsonObject& object);

    friend bool operator==(const TimelineEntry&, const TimelineEntry&) = default;
};

Q_DECLARE_METATYPE(TimelineEntry)

QString rawValue(TimelineEntry::Kind kind);
// What the screens show, the search matches and the prompt lines name: "Explain My Mac",
// "Automation", "Action", "Insight".
QString label(TimelineEntry::Kind kind);
template <>
std::optional<TimelineEntry::Kind> fromRawValue<TimelineEntry::Kind>(const QString& raw);
template <> const QList<TimelineEntry::Kind>& allCases<TimelineEntry::Kind>();

// The first `count` user-perceived characters of a text (grapheme clusters), or all of it.
QString leadingCharacters(const QString& text, int count);
