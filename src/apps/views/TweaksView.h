#pragma once

#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

class QKCardSurface;
class QKScanStatePages;
class QPushButton;
class TweakRow;
class TweaksService;

// The Tweaks section: the tweaks table under its group headings, one switch per tweak, and
// "Restore all defaults" at the end. Until the service's first reading has been published it
// shows only "Reading current settings…" (and starts that reading when shown). A switch calls
// the service at once; its failures come back through the service's lastError and show as the
// alert "Something went wrong", which clears it when dismissed.
//
// service null: the screen keeps to the reading indicator.
class TweaksView : public QWidget {
    Q_OBJECT
public:
    explicit TweaksView(TweaksService* service, QWidget* parent = nullptr);

    // The failure alert while it shows, else null.
    QMessageBox* alert() const { return m_alert; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QKCardSurface* buildGroup(const QString& group);
    void showContent();
    void showStates();
    void showError();

    QPointer<TweaksService> m_service;
    QKScanStatePages* m_stack;
    QWidget* m_list;
    QList<TweakRow*> m_rows;
    QPushButton* m_restore;
    QPointer<QMessageBox> m_alert;
};
