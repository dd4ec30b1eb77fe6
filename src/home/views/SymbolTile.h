#pragma once

#include "home/HomeTone.h"
#include "ui-kit/QKFont.h"

#include <QPixmap>
#include <QWidget>

// A symbol in a small rounded square: the symbol in the tone's colour at the size of its font's
// text (QKFont, so it follows the text-size step), on the tone at 10 %. The square keeps its
// given edge and grows only when a larger text size needs room around the symbol.
class SymbolTile : public QWidget {
    Q_OBJECT
public:
    SymbolTile(const QString& symbol, HomeTone tone, int edge, qreal cornerRadius,
               const QKFont& font, QWidget* parent = nullptr);

    QString symbol() const { return m_symbol; }
    HomeTone tone() const { return m_tone; }
    void setSymbol(const QString& symbol, HomeTone tone);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int glyphSize() const;

    QString m_symbol;
    HomeTone m_tone;
    int m_edge;
    qreal m_radius;
};
