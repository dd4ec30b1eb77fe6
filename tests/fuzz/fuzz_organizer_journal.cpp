// The organizer's journal loader on any bytes: it must never crash, hang or misbehave, and a
// journal it accepts must save and load back to the same record, so undo always reads what the
// run wrote.
#include "storage/OrganizerJournals.h"

#include <cstdint>
#include <cstdlib>

namespace {

// A run of the fixtures that was cut short, so a log has planned moves to speak of.
const char* const InterruptedRun =
    R"({"failures":[],"completed":[],"planned":[{"isEnabled":true,"reason":"r","sizeBytes":4096,)"
    R"("displayName":"notes","destinationPath":"/home/sam/Desktop/Other/notes",)"
    R"("sourcePath":"/home/sam/Desktop/notes","id":"/home/sam/Desktop/notes"}],)"
    R"("homePath":"/home/sam","startedAt":786000000,"id":"5E0F2A4C-1B7D-4C3E-9A8B-2F6D1E0C9B7A"})";

// The run's log, the file appended to while it moves: any bytes either bring the journal up to
// date or are refused, and a journal brought up to date still saves and loads back whole.
void replayAsLog(const QByteArray& bytes) {
    std::optional<OrganizerJournal> journal = OrganizerJournals::decode(
        QByteArray(InterruptedRun), QStringLiteral("5E0F2A4C-1B7D-4C3E-9A8B-2F6D1E0C9B7A"));
    if (!journal)
        std::abort();
    if (!OrganizerJournals::replay(*journal, bytes))
        return;
    (void)OrganizerJournals::isListed(*journal, QDateTime::currentDateTimeUtc());
    const std::optional<OrganizerJournal> again =
        OrganizerJournals::decode(OrganizerJournals::encode(*journal), journal->id);
    if (!again)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    replayAsLog(bytes);
    // The name a valid journal of the fixtures carries, so accepted inputs are reachable.
    static const QString stem = QStringLiteral("5E0F2A4C-1B7D-4C3E-9A8B-2F6D1E0C9B7A");
    std::optional<OrganizerJournal> journal = OrganizerJournals::decode(bytes, stem);
    if (!journal) {
        // Any id the input holds gets a second chance as its own file name.
        const qsizetype at = bytes.indexOf("\"id\":\"");
        if (at < 0 || at + 6 + 36 > bytes.size())
            return 0;
        journal = OrganizerJournals::decode(bytes, QString::fromUtf8(bytes.mid(at + 6, 36)));
        if (!journal)
            return 0;
    }
    const std::optional<OrganizerJournal> again =
        OrganizerJournals::decode(OrganizerJournals::encode(*journal), journal->id);
    if (!again || *again != *journal)
        std::abort();
    // What the pane and the history do with a loaded journal.
    (void)OrganizerJournals::isListed(*journal, QDateTime::currentDateTimeUtc());
    (void)journal->startedDate().isValid();
    OrganizerPlan plan;
    plan.moves = journal->planned;
    (void)plan.selectedBytes();
    return 0;
}
