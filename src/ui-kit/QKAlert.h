#pragma once

#include <QString>

class QMessageBox;
class QWidget;

// The alert a screen shows for a failure: a bold title, the message under it and one "OK"
// button, window-modal over the screen's window and non-blocking. The alert deletes itself
// when closed; its finished() signal tells the screen it was dismissed.
namespace QKAlert {

QMessageBox* open(const QString& title, const QString& message, QWidget* parent);
// Replaces the message of an alert on show.
void setMessage(QMessageBox* alert, const QString& message);
QString message(const QMessageBox* alert);

} // namespace QKAlert
