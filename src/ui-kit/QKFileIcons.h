#pragma once

#include <QFileIconProvider>

// Icons and kind names of files told by their names alone. Qt's own providers (and the system
// themes behind them) sniff the first bytes of a file whose name says too little, and reading a
// user's file moves its access time, which the age rules report: every icon of a user's file,
// the pickers' listings included, comes from here. Folders, links and special files get the
// generic answers, which read no content either.
//
// Thread-safe: a picker's listing asks for icons on a thread of its own.
class QKFileIcons : public QFileIconProvider {
public:
    QKFileIcons();

    // The process's provider, for pickers and views that keep no provider of their own.
    static QKFileIcons& shared();

    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;
};
