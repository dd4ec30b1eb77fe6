#pragma once

#include <QAbstractButton>

// A settings row's on/off switch: its label on the left, the switch on the right. A disabled
// switch still shows its state, faded.
class ToggleSwitch : public QAbstractButton {
    Q_OBJECT
public:
    explicit ToggleSwitch(const QString& label, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    static constexpr int kTrackWidth = 32;
    static constexpr int kTrackHeight = 18;
};
