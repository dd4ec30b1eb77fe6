// The organizer's journal loader on any bytes: it must never crash, hang or misbehave, and a
// journal it accepts must save and load back to the same record, so undo always reads what the
// run wrote.
#include "storage/OrganizerJournals.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
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
