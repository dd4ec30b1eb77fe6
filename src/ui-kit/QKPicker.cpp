#include "ui-kit/QKPicker.h"

#include "ui-kit/QKFileIcons.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

bool isFolder(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString systemDialog(QWidget* parent, QKPicker::Kind kind, const QString& title,
                     const QString& start) {
    const std::unique_ptr<QFileDialog> dialog = QKPicker::makeDialog(parent, kind, title, start);
    if (dialog->exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = dialog->selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.constFirst();
}

} // namespace

QKPicker::QKPicker(QString home, Dialog dialog)
    : m_home(std::move(home)), m_dialog(dialog ? std::move(dialog) : Dialog(systemDialog)) {}

std::unique_ptr<QFileDialog> QKPicker::makeDialog(QWidget* parent, Kind kind, const QString& title,
                                                  const QString& start) {
    // The folder is set last: the listing starts as soon as the dialog has one, and must start
    // with the icons below.
    auto dialog = std::make_unique<QFileDialog>(parent, title);
    // Qt's own dialog, so that its listing takes the icons below: a system dialog, like Qt's
    // default icons, tells the kind of a file with an unclear name by reading its first bytes,
    // and listing a folder would then move the access time of every file in it.
    dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontResolveSymlinks |
                       QFileDialog::DontUseCustomDirectoryIcons |
                       (kind == Kind::Folder ? QFileDialog::ShowDirsOnly : QFileDialog::Options()));
    dialog->setIconProvider(&QKFileIcons::shared());
    dialog->setFileMode(kind == Kind::Folder ? QFileDialog::Directory : QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setDirectory(start);
    return dialog;
}

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
