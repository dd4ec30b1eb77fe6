#pragma once

#include "ui-kit/QKCardSurface.h"

#include <optional>

namespace QKLayout {
class Box;
}
class QLineEdit;
class QVBoxLayout;
class QKProminentButton;

// A one-line strip that lets the user ask the assistant about what a screen shows, in their own
// words or with the screen's preset question. Its only effect outside itself is posting
// Notifications::AskTamso on the default NotificationCenter with the question.
//
// Sending (the "Ask Pendrel" button, or Return in the field): the draft trimmed of white space;
// when that is empty, the preset question trimmed; when that is empty too, nothing happens.
// Otherwise the draft is emptied and the question posted. The button is disabled exactly when
// nothing would be sent. A click anywhere on the strip puts the keyboard focus in the field.
// editable is kept for the callers; the field is always editable.
class AskTamsoStrip : public QKCardSurface {
    Q_OBJECT
public:
    AskTamsoStrip(const QString& prompt, const QString& question, bool editable,
                  QWidget* parent = nullptr);

    QString prompt() const { return m_prompt; }
    QString question() const { return m_question; }
    void setQuestion(const QString& question);
    bool editable() const { return m_editable; }
    QString draft() const;

    QLineEdit* field() const { return m_field; }

    // What a send would post for this draft and preset question; nothing when both are blank.
    static std::optional<QString> questionToSend(const QString& draft, const QString& question);
    // Appends a strip to a pane's outer column, under its header: inset 16 points at the sides
    // and 12 below, with a hairline across under it. The strip belongs to `pane`'s row.
    static AskTamsoStrip* addUnderHeader(QVBoxLayout* column, const QString& prompt,
                                         const QString& question, QWidget* pane);
    // The same as items of a declared tree; `strip` is set as the tree is written.
    static QKLayout::Box underHeader(AskTamsoStrip*& strip, const QString& prompt,
                                     const QString& question, QWidget* pane);
    void send();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void updateButton();

    QString m_prompt;
    QString m_question;
    bool m_editable;
    QLineEdit* m_field;
    QKProminentButton* m_ask;
};
