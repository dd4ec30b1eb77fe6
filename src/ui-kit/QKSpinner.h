#pragma once

#include <QTimer>
#include <QWidget>

// The small indeterminate progress indicator: twelve spokes turning, drawn in the widget's
// text colour (QKForeground) and sized to a line of its font (QKFont), so it sits in a row of
// text. It turns only while visible.
class QKSpinner : public QWidget {
    Q_OBJECT
public:
    explicit QKSpinner(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    bool isSpinning() const { return m_timer.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QTimer m_timer;
    int m_step = 0;
};
