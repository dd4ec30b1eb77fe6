#pragma once

#include <QFrame>
#include <QPointer>

// A small window that hangs from the control that opened it and goes away as a popup does: on
// Escape, and on a click anywhere else (it loses activation). It is not a Qt::Popup, because
// assistive technology finds an application's windows from its root and that root leaves popups
// out: this is a dialog of the application's own, named as given, whose texts read as the
// labels they are. It takes the keyboard when it opens and hands it back to the control that
// opened it when it closes. It is deleted once closed.
class QKPopover : public QFrame {
    Q_OBJECT
public:
    // `owner` is the widget it belongs to (its window's): it goes with it.
    QKPopover(const QString& name, QWidget* owner);

    // Shows it centred under `anchor`'s bottom edge (kept on the anchor's screen) and gives it
    // the keyboard; `opener` gets the keyboard back when it closes.
    void showUnder(QWidget* anchor, QWidget* opener);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPointer<QWidget> m_opener;
};
