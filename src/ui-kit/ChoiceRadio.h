#pragma once

#include <QRadioButton>

// A radio choice drawn the same way in light and dark: a ring in the primary text colour at
// 35 % that fills with the accent and a white dot when chosen. Behaves as a QRadioButton; of its
// set, Tab stops at the chosen one, however it was chosen.
class ChoiceRadio : public QRadioButton {
    Q_OBJECT
public:
    explicit ChoiceRadio(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

private:
    void takeTabStop();
    int indicator() const;
    static constexpr int kGap = 7;
};
