#include "duplicates/KeepSweep.h"

#include "duplicates/DuplicatesText.h"
#include "platform/FoundRoot.h"
#include "platform/Trash.h"

namespace KeepSweep {

bool moveCopy(Trash* trash, const QString& searched, const QString& file, QStringList& errors) {
    QString error;
    if (trash && trash->moveFoundToTrash(FoundRoot(searched), file, {}, &error))
        return true;
    errors.append(DuplicatesText::shownName(file) + QStringLiteral(": ") +
                  (error.isEmpty() ? QStringLiteral("The Trash is not available.") : error));
    return false;
}

} // namespace KeepSweep
