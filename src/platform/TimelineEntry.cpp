#include "platform/TimelineEntry.h"

#include "platform/AppSupportFolder.h"
#include "platform/JsonFields.h"
#include "platform/RawValueTable.h"

#include <QTextBoundaryFinder>

namespace {

constexpr std::array<const char*, 4> kRaw = {"askAnswer", "automation", "action", "insight"};
constexpr std::array<const char*, 4> kLabels = {"Explain My Mac", "Automation", "Action",
                                                "Insight"};
constexpr int kPromptDetailCharacters = 220;

} // namespace

PENDREL_RAW_VALUES(TimelineEntry::Kind, kRaw)

QString label(TimelineEntry::Kind kind) {
    return RawValueDetail::rawValueOf(kLabels, kind);
}

QString leadingCharacters(const QString& text, int count) {
    if (count <= 0)
        return {};
    if (text.size() <= count) // no text has more characters than code units
        return text;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int seen = 0;
    while (finder.toNextBoundary() != -1) {
        if (++seen == count)
            return text.left(finder.position());
    }
    return text;
}

QDateTime TimelineEntry::dateTime() const {
    return dateFromReferenceSeconds(date);
}

QString TimelineEntry::promptLine(const QLocale& locale, const QTimeZone& zone) const {
    const QDateTime when = dateTime().toTimeZone(zone);
    return QStringLiteral("[") + locale.toString(when, QLocale::ShortFormat) +
           QStringLiteral(" · ") + label(kind) + QStringLiteral("] ") + title +
           QStringLiteral(" → ") + leadingCharacters(detail, kPromptDetailCharacters);
}

QJsonObject TimelineEntry::toJson() const {
    QJsonObject o;
    o.insert(QLatin1String("id"), JsonFields::uuidText(id));
    o.insert(QLatin1String("date"), date);
    o.insert(QLatin1String("kind"), rawValue(kind));
    o.insert(QLatin1String("title"), title);
    o.insert(QLatin1String("detail"), detail);
    JsonFields::insertOptional(o, QLatin1String("featureID"), featureID);
    o.insert(QLatin1String("pinned"), pinned);
    return o;
}

std::optional<TimelineEntry> TimelineEntry::fromJson(const QJsonObject& o) {
    const auto id = JsonFields::uuid(o, QLatin1String("id"));
    const auto date = JsonFields::date(o, QLatin1String("date"));
    const auto kindText = JsonFields::string(o, QLatin1String("kind"));
    const auto title = JsonFields::string(o, QLatin1String("title"));
    const auto detail = JsonFields::string(o, QLatin1String("detail"));
    const auto pinned = JsonFields::boolean(o, QLatin1String("pinned"));
    std::optional<QString> featureID;
    if (!id || !date || !kindText || !title || !detail || !pinned ||
        !JsonFields::optionalString(o, QLatin1String("featureID"), &featureID))
        return std::nullopt;
    const auto kind = fromRawValue<TimelineEntry::Kind>(*kindText);
    if (!kind)
        return std::nullopt;
    return TimelineEntry{*id, *date, *kind, *title, *detail, featureID, *pinned};
}
