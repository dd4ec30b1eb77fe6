#pragma once

#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"

#include <QAbstractButton>

// A plain button that is only a symbol (no bezel): the symbol at the size of its font's text, in
// a foreground style that follows the appearance and the accent. Shows a pointing hand.
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
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int glyphSize() const;

    QString m_symbol;
    QKForeground::Style m_tone;
};
