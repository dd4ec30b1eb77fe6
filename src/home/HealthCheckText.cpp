#include "home/HealthCheckText.h"

#include "platform/ByteFormat.h"
#include "platform/TextConstant.h"

namespace HealthCheckText {

namespace {

// A measurement that found nothing is good; one whose figure is above its cut asks to act, and
// one up to the cut is worth watching. `measured` is what the cut is taken on: bytes for junk,
// the count of files for big files.
struct Cut {
    qint64 actAbove;
    const char* nothing;
};
constexpr Cut kJunk = {5'368'709'120, // 5 GiB
                       "Nothing to clear. Your caches and logs are already tidy."};
constexpr Cut kBigFiles = {10, "No single file is a gigabyte or more."};

Verdict verdict(const Cut& cut, qint64 measured, const QString& found) {
    if (measured == 0)
        return {QString::fromUtf8(cut.nothing), IssueSeverity::Good};
    return {found, measured > cut.actAbove ? IssueSeverity::Act : IssueSeverity::Watch};
}

} // namespace

Verdict junk(qint64 bytes, int files) {
    return verdict(kJunk, bytes,
                   formatBytes(bytes) + QStringLiteral(" in caches, logs and the Trash across ") +
                       QString::number(files) + QStringLiteral(" files."));
}

Verdict bigFiles(qint64 bytes, int count) {
    return verdict(kBigFiles, count,
                   QString::number(count) + QStringLiteral(" file") +
                       (count == 1 ? QString() : QStringLiteral("s")) +
                       QStringLiteral(" of a gigabyte or more, ") + formatBytes(bytes) +
                       QStringLiteral(" in total."));
}

PENDREL_TEXT(homeUnreadable,
             "Pendrel could not read your home folder. Check that your account can open it.")

} // namespace HealthCheckText
