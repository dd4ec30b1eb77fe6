#include "ui-kit/QKPicker.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

bool isFolder(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString systemDialog(QWidget* parent, QKPicker::Kind kind, const QString& title,
                     const QString& start) {
    if (kind == QKPicker::Kind::Folder)
        return QFileDialog::getExistingDirectory(
            parent, title, start, QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    return QFileDialog::getOpenFileName(parent, title, start);
}

} // namespace

QKPicker::QKPicker(QString home, Dialog dialog)
    : m_home(std::move(home)), m_dialog(dialog ? std::move(dialog) : Dialog(systemDialog)) {}

QKPicker& QKPicker::shared() {
    static QKPicker picker(QDir::homePath());
    return picker;
}

QString QKPicker::startFolder(const QString& preferred) const {
    if (isFolder(preferred))
        return preferred;
    if (isFolder(m_last))
        return m_last;
    return m_home;
}

std::optional<QString> QKPicker::chooseFolder(QWidget* parent, const QString& title,
                                              const QString& preferred) {
    const QString chosen = m_dialog(parent, Kind::Folder, title, startFolder(preferred));
    if (chosen.isEmpty())
        return std::nullopt;
    m_last = chosen;
    return chosen;
}

std::optional<QString> QKPicker::chooseFile(QWidget* parent, const QString& title) {
    const QString chosen = m_dialog(parent, Kind::File, title, startFolder());
    if (chosen.isEmpty())
        return std::nullopt;
    m_last = QFileInfo(chosen).absolutePath();
    return chosen;
}
