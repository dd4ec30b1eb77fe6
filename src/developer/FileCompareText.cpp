#include "developer/FileCompareText.h"

#include "platform/ByteFormat.h"
#include "platform/TextConstant.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace FileCompareText {

Verdict verdict(CompareMode mode, bool busy, const DiffSummary& summary,
                std::optional<bool> identicalBytes) {
    if (mode == CompareMode::None)
        return Verdict::Hidden;
    if (busy)
        return Verdict::Busy;
    if (mode == CompareMode::Text)
        return summary == DiffSummary{} ? Verdict::Identical : Verdict::Counts;
    if (!identicalBytes)
        return Verdict::Nothing;
    return *identicalBytes ? Verdict::Identical : Verdict::Different;
}

bool offersExplanation(CompareMode mode, const DiffSummary& summary) {
    return mode == CompareMode::Text && summary != DiffSummary{};
}

ResultPage resultPage(const std::optional<QString>& error, CompareMode mode) {
    if (error)
        return ResultPage::Error;
    switch (mode) {
    case CompareMode::None:
        return ResultPage::Pick;
    case CompareMode::Text:
        return ResultPage::Text;
    case CompareMode::Image:
        return ResultPage::Image;
    case CompareMode::Binary:
    case CompareMode::TooBig:
        return ResultPage::Facts;
    }
    return ResultPage::Pick;
}

QString zoneTitle(bool left) {
    return left ? QStringLiteral("First file") : QStringLiteral("Second file");
}

PENDREL_TEXT(diffTableName, "Differences")

QString diffColumnTitle(int column) {
    switch (column) {
    case 0:
        return QStringLiteral("Change");
    case 1:
        return zoneTitle(true);
    case 2:
        return zoneTitle(false);
    default:
        return {};
    }
}

QString diffKindName(DiffRow::Kind kind) {
    switch (kind) {
    case DiffRow::Kind::Same:
        return QStringLiteral("Unchanged");
    case DiffRow::Kind::Added:
        return QStringLiteral("Added");
    case DiffRow::Kind::Removed:
        return QStringLiteral("Removed");
    case DiffRow::Kind::Changed:
        return QStringLiteral("Changed");
    }
    return {};
}

QString diffCellText(const DiffRow& row, int column) {
    if (column == 0)
        return diffKindName(row.kind);
    const std::optional<qint64>& number = column == 1 ? row.leftNumber : row.rightNumber;
    const std::optional<QString>& text = column == 1 ? row.leftText : row.rightText;
    if (!number || column > 2)
        return {};
    const QString line = QStringLiteral("Line ") + QString::number(*number);
    if (!text || text->trimmed().isEmpty())
        return line + QStringLiteral(" is blank");
    return line + QStringLiteral(": ") + *text;
}

QString zoneName(const std::optional<QUrl>& file, bool left) {
    if (!file)
        return zoneTitle(left);
    const QString path = file->path();
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? QFileInfo(QFileInfo(path).path()).fileName() : name;
}

QString zoneDetail(const std::optional<QUrl>& file) {
    if (!file)
        return QStringLiteral("Click to choose, or drop a file here");
    QString path = file->path();
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return QFileInfo(path).path();
}

QString zoneReaderName(const std::optional<QUrl>& file, bool left) {
    if (!file)
        return zoneTitle(left);
    return zoneTitle(left) + QStringLiteral(": ") + zoneName(file, left);
}

QString sizeLine(std::optional<qint64> bytes) {
    return QStringLiteral("Size: ") + formatBytes(bytes.value_or(0));
}

QString modifiedLine(const QDateTime& when, const QLocale& locale) {
    // Some locales' short time still carries seconds; a shortened time never does.
    static const QRegularExpression seconds(QStringLiteral(R"([:.]ss(\.z+)?)"));
    const QString time = locale.timeFormat(QLocale::ShortFormat).remove(seconds);
    return QStringLiteral("Modified: ") +
           locale.toString(when.date(), QStringLiteral("MMM d, yyyy")) + QStringLiteral(" at ") +
           locale.toString(when.time(), time);
}

PENDREL_TEXT(windowTitle, "Compare")
PENDREL_TEXT(filePickerTitle, "Choose a file")
PENDREL_TEXT(title, "Compare two files")
PENDREL_TEXT(subtitle, "Pick or drop a file on each side. Text shows every changed line; images "
                       "sit side by side; anything else gets an identical-or-not verdict.")
PENDREL_TEXT(explainLabel, "Explain changes")
PENDREL_TEXT(explainWorkingLabel, "Reading…")
PENDREL_TEXT(
    explainHelp,
    "Pendrel summarises what actually changed, in plain English, from the lines themselves.")
PENDREL_TEXT(explanationHeading, "What changed, in plain English")
PENDREL_TEXT(explanationFootnote,
             "Generated on this Mac. Check the highlighted lines for the exact wording.")
PENDREL_TEXT(unavailableNote, "Explaining changes needs an on-device language model, which this "
                              "system does not have. The full comparison above still works.")
PENDREL_TEXT(extractionBanner, "Comparing the text inside these documents. Layout, formatting and "
                               "images are not compared.")
PENDREL_TEXT(tooBigNote, "These files are too large for a line-by-line view, so this is a "
                         "byte-for-byte verdict.")
PENDREL_TEXT(identicalLabel, "Identical")

namespace {

QString lines(int count, const char* what) {
    return QString::number(count) +
           (count == 1 ? QStringLiteral(" line ") : QStringLiteral(" lines ")) +
           QString::fromUtf8(what);
}

} // namespace

QString addedCount(int count) {
    return lines(count, "added");
}
QString removedCount(int count) {
    return lines(count, "removed");
}
QString changedCount(int count) {
    return lines(count, "changed");
}
PENDREL_TEXT(differentLabel, "Different")
PENDREL_TEXT(errorTitle, "Couldn't compare")
PENDREL_TEXT(pickTitle, "Pick two files")
PENDREL_TEXT(pickMessage, "Choose a file for each side and the comparison runs automatically.")
PENDREL_TEXT(cannotPreviewTitle, "Can't preview")

} // namespace FileCompareText
