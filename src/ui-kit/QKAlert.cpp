#include "ui-kit/QKAlert.h"

#include "ui-kit/QKFont.h"
#include "ui-kit/Themed.h"

#include <QLabel>
#include <QMessageBox>

namespace QKAlert {

QMessageBox* open(const QString& title, const QString& message, QWidget* parent) {
    QMessageBox* box = make(title, message, QMessageBox::Ok, parent);
    box->open();
    return box;
}

QMessageBox* make(const QString& title, const QString& message,
                  QMessageBox::StandardButtons buttons, QWidget* parent) {
    auto* box = new QMessageBox(QMessageBox::NoIcon, title, title, buttons, parent);
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
    return box;
}

QMessageBox* report(QPointer<QMessageBox>& alert, const QString& title, const QString& message,
                    const QString& objectName, QWidget* parent) {
    if (alert) {
        setMessage(alert, message);
        return nullptr;
    }
    alert = open(title, message, parent);
    alert->setObjectName(objectName);
    return alert;
}

void follow(QPointer<QMessageBox>& alert, const QString& title,
            const std::optional<QString>& message, const QString& objectName, QWidget* parent,
            std::function<void()> dismissed) {
    if (!message) {
        if (alert)
            alert->close();
        return;
    }
    if (QMessageBox* opened = report(alert, title, *message, objectName, parent))
        QObject::connect(opened, &QMessageBox::finished, parent, std::move(dismissed));
}

void setMessage(QMessageBox* alert, const QString& message) {
    if (alert)
        alert->setInformativeText(message);
}

QString message(const QMessageBox* alert) {
    return alert ? alert->informativeText() : QString();
}

} // namespace QKAlert
