#pragma once

#include "ui-kit/QKBorderedButton.h"

class QKTurn;

// The home screen's check button: a small bordered button reading "Refresh" after the
// "arrow.clockwise" symbol; while a check runs it reads "Checking…" after a turning progress
// indicator and takes no clicks.
class RefreshButton : public QKBorderedButton {
    Q_OBJECT
public:
    explicit RefreshButton(QWidget* parent = nullptr);

    void setChecking(bool checking);
    bool isChecking() const { return m_checking; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int glyphSize() const;

    bool m_checking = false;
    QKTurn* m_turn;
};
