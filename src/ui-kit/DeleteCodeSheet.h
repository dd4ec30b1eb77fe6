#pragma once

#include "ui-kit/DeleteCode.h"

#include <functional>
#include <QDialog>

class QKIconLabel;
class QKProminentButton;
class QLabel;
class QLineEdit;
class QPushButton;

// The typed-code confirmation of a destructive action: a window-modal sheet over its parent's
// window showing the consequence, a random four-digit code and a field. The destructive button
// (labelled confirmVerb, unchanged) is enabled exactly while the field holds the code.
//
// Every showing draws a new code and empties the field. The destructive button calls onConfirm
// at most once per showing; "Cancel" calls onCancel; any other dismissal (Escape, the window's
// close button) calls neither. The sheet never closes itself on those buttons: its owner does
// (DeleteConfirm, DeleteConfirmItem), after the action has run. Screens use those owners, never
// the sheet directly.
class DeleteCodeSheet : public QDialog {
    Q_OBJECT
public:
    DeleteCodeSheet(const QString& title, const QString& message, const QString& confirmVerb,
                    std::function<void()> onConfirm, std::function<void()> onCancel,
                    QWidget* parent, DeleteCode::RandomSource random = DeleteCode::systemSource());

    // Empty until the sheet is first shown.
    QString code() const { return m_code; }
    QString entry() const;
    bool canConfirm() const;
    void setTexts(const QString& title, const QString& message, const QString& confirmVerb);

    QLineEdit* entryField() const { return m_entry; }
    QPushButton* confirmButton() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void renew();
    void confirm();
    void updateButton();

    std::function<void()> m_onConfirm;
    std::function<void()> m_onCancel;
    DeleteCode::RandomSource m_random;
    QString m_code;
    bool m_confirmed = false;
    QKIconLabel* m_title;
    QLabel* m_message;
    QLabel* m_codeLabel;
    QLineEdit* m_entry;
    QPushButton* m_cancel;
    QKProminentButton* m_confirm;
};
