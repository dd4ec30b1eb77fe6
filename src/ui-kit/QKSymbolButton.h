#pragma once

#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"

#include <QAbstractButton>

// A plain button that is only a symbol (no bezel): the symbol at the size of its font's text, in
// a foreground style that follows the appearance and the accent. Shows a pointing hand.
// Having no caption, it is named by its tooltip and its accessible name, each standing in for
// the other when only one is set: assistive technology reads the tooltip as the button's name,
// and hovering shows the accessible name.
class QKSymbolButton : public QAbstractButton {
    Q_OBJECT
public:
    QKSymbolButton(const QString& symbol, QKForeground::Style tone, const QKFont& font,
                   QWidget* parent = nullptr);

    QString symbol() const { return m_symbol; }
    QKForeground::Style tone() const { return m_tone; }
    // Changes both at once (one repaint).
    void setSymbol(const QString& symbol, QKForeground::Style tone);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int glyphSize() const;

    QString m_symbol;
    // The tooltip last copied into the accessible name.
    QString m_nameFromTip;
    QKForeground::Style m_tone;
};
