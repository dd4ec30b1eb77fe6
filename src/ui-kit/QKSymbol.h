#pragma once

#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"

#include <QPixmap>
#include <QWidget>

// A symbol drawn like a glyph of text: its size follows the widget's QKFont (and so the text-size
// step), its colour the widget's text colour (QKForeground). It is as tall as a line of text of
// its font, the glyph centred, so it lines up with the first line of a label beside it. An
// unknown symbol draws nothing.
class QKSymbol : public QWidget {
    Q_OBJECT
public:
    QKSymbol(const QString& symbol, const QKFont& font, QWidget* parent = nullptr);
    // In a foreground style of its own rather than the text colour it inherits.
    QKSymbol(const QString& symbol, const QKFont& font, QKForeground::Style tone,
             QWidget* parent = nullptr);

    QString symbol() const { return m_symbol; }
    void setSymbol(const QString& symbol);
    // The glyph's edge in pixels for the current font.
    int glyphSize() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_symbol;
    mutable QPixmap m_cache;
    mutable QString m_cacheKey;
};
