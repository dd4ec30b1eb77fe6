#pragma once

#include <QByteArray>
#include <QString>

// Whole-file writes that never leave a half-written file behind, and the "move aside" step that
// keeps a file we could not decode before anything replaces it.
namespace AtomicFile {

// Creates missing parent folders, then writes through QSaveFile. On failure returns false and,
// when error is given, a one-line reason.
bool write(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Renames path to "<path>.corrupt-<yyyyMMdd-hhmmss>" (a numeric suffix keeps earlier copies) and
// returns the new path, or an empty string when the rename failed or there was no file.
QString moveAsideCorrupt(const QString& path);

} // namespace AtomicFile
