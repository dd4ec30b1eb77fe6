#include "ui-kit/QKReveal.h"

#include "platform/FileRevealer.h"
#include "ui-kit/QKTransientNote.h"

#include <QPointer>
#include <QWidget>

namespace QKReveal {

QString failureLine() {
    return QStringLiteral("Couldn't open a file manager to show this.");
}

void reveal(FileRevealer* revealer, const QString& path, QWidget* anchor, const QRect& area) {
    if (!revealer)
        return;
    revealer->reveal(path, [anchor = QPointer<QWidget>(anchor), area](bool shown) {
        if (!shown && anchor)
            QKTransientNote::open(anchor, failureLine(), area);
    });
}

} // namespace QKReveal
