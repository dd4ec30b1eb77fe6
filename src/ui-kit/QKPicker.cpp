#include "ui-kit/QKPicker.h"

#include "ui-kit/QKFileIcons.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>

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

// Qt's accessibility bridge can leave the window that opened a dialog without keyboard
// activation once a path typed into the dialog is accepted with Return: Tab and the arrows then
// reach nothing. Whatever the dialog did, the window that asked, and the control that had the
// focus in it, get them back.
class GivesFocusBack {
public:
    explicit GivesFocusBack(QWidget* parent)
        : m_window(parent ? parent->window() : nullptr), m_focus(QApplication::focusWidget()) {
        if (m_focus && m_window && m_focus->window() != m_window)
            m_focus = nullptr;
    }
    ~GivesFocusBack() {
        if (!m_window || !m_window->isVisible())
            return;
        m_window->raise();
        m_window->activateWindow();
        if (m_focus && m_focus->isVisible() && m_focus->isEnabled())
            m_focus->setFocus(Qt::ActiveWindowFocusReason);
    }

private:
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_focus;
};

} // namespace

QString QKPicker::ask(QWidget* parent, Kind kind, const QString& title, const QString& start) {
    const GivesFocusBack back(parent);
    return m_dialog(parent, kind, title, start);
}

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
    const QString chosen = ask(parent, Kind::Folder, title, startFolder(preferred));
    if (chosen.isEmpty())
        return std::nullopt;
    m_last = chosen;
    return chosen;
}

std::optional<QString> QKPicker::chooseFile(QWidget* parent, const QString& title) {
    const QString chosen = ask(parent, Kind::File, title, startFolder());
    if (chosen.isEmpty())
        return std::nullopt;
    m_last = QFileInfo(chosen).absolutePath();
    return chosen;
}
