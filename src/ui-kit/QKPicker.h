#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <QString>

class QFileDialog;
class QWidget;

// The one place that opens the system's folder and file pickers, so they all open in the same
// folder: where the user last picked something while that is still a folder, else the home
// folder (never the folder the app happened to be started from). When a dialog closes, the
// window that opened it has the keyboard again, at the control that had the focus.
//
// Main thread only.
class QKPicker {
public:
    enum class Kind { Folder, File };
    // Shows the dialog of `kind` titled `title`, opened at `start`; returns the chosen path, or
    // an empty text when the user cancelled. The system dialogs unless a test hands in its own.
    using Dialog = std::function<QString(QWidget* parent, Kind kind, const QString& title,
                                         const QString& start)>;

    explicit QKPicker(QString home, Dialog dialog = {});

    // The dialog the system dialogs show, set up but not shown: Qt's own file dialog, whose
    // listing tells the kinds of files by their names (QKFileIcons) and so reads no file it
    // lists. The caller owns it.
    static std::unique_ptr<QFileDialog> makeDialog(QWidget* parent, Kind kind, const QString& title,
                                                   const QString& start);

    // The run's picker: over QDir::homePath() and the system dialogs.
    static QKPicker& shared();

    // Where the next dialog opens. `preferred` (a screen's own last folder) wins while it is a
    // folder; then the folder of the last pick; then home.
    QString startFolder(const QString& preferred = {}) const;

    // A chosen folder is remembered as the next start; a chosen file by the folder that holds it.
    // None when the user cancelled.
    std::optional<QString> chooseFolder(QWidget* parent, const QString& title,
                                        const QString& preferred = {});
    std::optional<QString> chooseFile(QWidget* parent, const QString& title);

private:
    // Every dialog goes through here; afterwards `parent`'s window is active again and the
    // control that had the focus has it back.
    QString ask(QWidget* parent, Kind kind, const QString& title, const QString& start);

    QString m_home;
    QString m_last;
    Dialog m_dialog;
};
