#pragma once

#include "ui-kit/QKPushButton.h"

class QPainter;

// The push button for secondary actions, everywhere one stands: the label in the primary text
// colour on the card colour, outlined by a hairline, padded at the sides. It is exactly as tall
// as a QKProminentButton of the same size beside it (QKButtonFace), so a row of a filled main
// action and bordered secondary ones lines up. Disabled, the label fades and clicks are ignored.
class QKBorderedButton : public QKPushButton {
    Q_OBJECT
public:
    explicit QKBorderedButton(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Paints the face (fill, hairline and focus ring, by state) over the whole button and returns
    // the ink for what stands on it; a button with a label of its own paints it after.
    QColor paintFace(QPainter& painter, bool focusRing) const;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // The whole face takes the click; the style's bevel rectangle knows nothing of it.
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

private:
    bool m_keyboardFocus = false;
};
