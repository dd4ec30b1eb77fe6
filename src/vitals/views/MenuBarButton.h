#pragma once

#include <QPushButton>

class QKTurn;

// A push button of the menu-bar panel whose label fills its width: an optional leading symbol
// and the text, centred as one group. Prominent buttons are filled with the accent and carry
// white text; bordered buttons sit on the card colour with a hairline, in the primary text
// colour. While busy, a small turning spinner stands where the symbol would be (the spinner only
// turns while the button is busy and on screen).
//
// Clicks, enabled state and text() are those of QPushButton; a disabled button takes no clicks.
// Fonts follow the text-size step (body style), colours the palette in force.
class MenuBarButton : public QPushButton {
    Q_OBJECT
public:
    enum class Look { Prominent, Bordered };

    MenuBarButton(const QString& text, const QString& symbol, Look look, QWidget* parent = nullptr);

    Look look() const { return m_look; }
    // The symbol name; empty for a text-only button.
    QString symbol() const { return m_symbol; }
    void setSymbol(const QString& symbol);
    bool isBusy() const { return m_busy; }
    void setBusy(bool busy);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int glyphSize() const;

    Look m_look;
    QString m_symbol;
    bool m_busy = false;
    bool m_keyboardFocus = false;
    QKTurn* m_spin; // twelve steps of 30 degrees
};
