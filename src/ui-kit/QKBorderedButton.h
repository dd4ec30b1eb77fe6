#pragma once

#include <QPushButton>

// The push button for secondary actions, everywhere one stands: the label in the primary text
// colour on the card colour, outlined by a hairline, padded at the sides. It is exactly as tall
// as a QKProminentButton of the same size beside it (QKButtonFace), so a row of a filled main
// action and bordered secondary ones lines up. Disabled, the label fades and clicks are ignored.
class QKBorderedButton : public QPushButton {
    Q_OBJECT
public:
    explicit QKBorderedButton(const QString& text, QWidget* parent = nullptr);

    // Small buttons use the callout style, regular ones the body style.
    void setSmall(bool small);
    bool isSmall() const { return m_small; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // The whole face takes the click; the style's bevel rectangle knows nothing of it.
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

private:
    bool m_small = false;
    bool m_keyboardFocus = false;
};
