#pragma once

#include <QRect>
#include <QString>

class FileRevealer;
class QWidget;

// Revealing a file from the control the user clicked: the one way every screen does it, so a
// desktop where nothing can show the file says so at that control instead of staying silent.
namespace QKReveal {

// What the note says when neither the file manager nor an opener could show the file.
QString failureLine();

// Asks `revealer` to show `path`. When it answers that nothing could, a transient note
// (QKTransientNote) with failureLine() appears at `area` of `anchor` (the anchor's whole
// rectangle when empty): a button, or a row inside a list's viewport. A null revealer does
// nothing; an anchor gone by the time the answer comes shows nothing.
void reveal(FileRevealer* revealer, const QString& path, QWidget* anchor, const QRect& area = {});

} // namespace QKReveal
