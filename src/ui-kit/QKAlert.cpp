#include "ui-kit/QKAlert.h"

#include "ui-kit/QKFont.h"
#include "ui-kit/Themed.h"

#include <QLabel>
#include <QMessageBox>

namespace QKAlert {

QMessageBox* open(const QString& title, const QString& message, QWidget* parent) {
    auto* box = new QMessageBox(QMessageBox::NoIcon, title, title, QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    box->setInformativeText(message);
    box->setAttribute(Qt::WA_DeleteOnClose);
    Themed::apply(box);
    // QMessageBox names its two labels; styling them keeps the look of the rest of the app.
    if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        QKFont::apply(label, TextStyle::Headline);
    if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
        QKFont::apply(label, TextStyle::Callout);
        label->setTextFormat(Qt::PlainText);
        label->setMinimumWidth(280);
    }
    box->open();
    return box;
}

void setMessage(QMessageBox* alert, const QString& message) {
    if (alert)
        alert->setInformativeText(message);
}

QString message(const QMessageBox* alert) {
    return alert ? alert->informativeText() : QString();
}

} // namespace QKAlert
