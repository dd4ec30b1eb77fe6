#pragma once

#include "ui-kit/QKPushButton.h"

#include <QColor>

// A filled push button for the main action of a piece: white text on a rounded fill of the
// tint, which is the accent unless set (a destructive button sets red). Disabled, the fill fades
// and the button takes no clicks. The small size suits strips and rows.
class QKProminentButton : public QKPushButton {
    Q_OBJECT
public:
    explicit QKProminentButton(const QString& text, QWidget* parent = nullptr);

    // An invalid colour means the accent (the palette's Highlight).
    void setTint(const QColor& tint);
    QColor tint() const;
    // A destructive button is tinted with the red of the appearance in force.
    void setDestructive(bool destructive);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_tint;
    bool m_destructive = false;
};
