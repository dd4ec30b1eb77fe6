#pragma once

#include <functional>
#include <optional>
#include <QMessageBox>
#include <QPointer>
#include <QString>

class QWidget;

// The alert a screen shows for a failure: a bold title, the message under it and one "OK"
// button, window-modal over the screen's window and non-blocking. The alert deletes itself
// when closed; its finished() signal tells the screen it was dismissed.
namespace QKAlert {

QMessageBox* open(const QString& title, const QString& message, QWidget* parent);
// The same alert with the given buttons, not yet shown: for a question the screen asks.
QMessageBox* make(const QString& title, const QString& message,
                  QMessageBox::StandardButtons buttons, QWidget* parent);
// A screen's one alert for its latest failure: the alert still on show takes the new message,
// or a new one opens, named objectName (tests find it by that). Gives the new alert, or null
// when the one on show took the message.
QMessageBox* report(QPointer<QMessageBox>& alert, const QString& title, const QString& message,
                    const QString& objectName, QWidget* parent);
// An alert that follows a failure message a service keeps: none closes the alert, a message is
// reported as above, and dismissing a new alert calls dismissed (which clears the message).
void follow(QPointer<QMessageBox>& alert, const QString& title,
            const std::optional<QString>& message, const QString& objectName, QWidget* parent,
            std::function<void()> dismissed);
// Replaces the message of an alert on show.
void setMessage(QMessageBox* alert, const QString& message);
QString message(const QMessageBox* alert);

} // namespace QKAlert
