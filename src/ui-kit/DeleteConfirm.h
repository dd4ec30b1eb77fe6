#pragma once

#include "ui-kit/DeleteCode.h"

#include <functional>
#include <QObject>
#include <QPointer>
#include <QString>

class DeleteCodeSheet;
class QWidget;

// The typed-code confirmation for a screen with one fixed destructive action. It is attached to
// the screen (host, which owns it) and shows a DeleteCodeSheet over the host's window while
// isPresented is true. The sheet belongs to the window, not the screen, so an action that
// replaces the screen (and so this object) cannot pull the sheet away under its own button.
//
// Confirming runs onConfirm, then sets isPresented to false (which closes the sheet); "Cancel"
// only sets it to false; any other dismissal sets it to false and runs nothing. Each showing has
// a new code. Texts may be changed at any time; an open sheet follows.
class DeleteConfirm : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isPresented READ isPresented WRITE setPresented NOTIFY isPresentedChanged)
public:
    DeleteConfirm(QWidget* host, const QString& title, const QString& message,
                  const QString& confirmVerb, std::function<void()> onConfirm);
    // Closes an open sheet without running anything.
    ~DeleteConfirm() override;

    bool isPresented() const { return m_presented; }
    void setPresented(bool presented);

    void setTitle(const QString& title);
    void setMessage(const QString& message);

    // The open sheet, or null.
    DeleteCodeSheet* sheet() const { return m_sheet; }
    // Where the codes come from (tests); the system's secure source by default.
    void setRandomSource(DeleteCode::RandomSource source) { m_random = std::move(source); }

signals:
    void isPresentedChanged(bool presented);

private:
    void showSheet();
    void closeSheet();
    void syncTexts();

    QWidget* m_host;
    QString m_title;
    QString m_message;
    QString m_confirmVerb;
    std::function<void()> m_onConfirm;
    DeleteCode::RandomSource m_random = DeleteCode::systemSource();
    bool m_presented = false;
    QPointer<DeleteCodeSheet> m_sheet;
};
