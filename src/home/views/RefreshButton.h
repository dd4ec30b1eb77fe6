#pragma once

#include <QPushButton>
#include <QTimer>

// The home screen's check button: a small bordered button reading "Refresh" after the
// "arrow.clockwise" symbol; while a check runs it reads "Checking…" after a turning progress
// indicator and takes no clicks.
class RefreshButton : public QPushButton {
    Q_OBJECT
public:
    explicit RefreshButton(QWidget* parent = nullptr);

    void setChecking(bool checking);
    bool isChecking() const { return m_checking; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

private:
    int glyphSize() const;
    void updateTimer();

    bool m_checking = false;
    QTimer m_timer;
    int m_step = 0;
};
