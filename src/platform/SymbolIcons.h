#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

// The one table from the app's symbol names to the icon set shipped in resources/icons
// (outline and filled SVGs drawn with "currentColor", so any tint can be applied).
namespace SymbolIcons {

// The resource path of the symbol's SVG, or an empty string when the table has no row for it.
QString resourcePath(const QString& symbol);
bool resolves(const QString& symbol);
QStringList knownSymbols();

// The SVG drawn at size (device-independent pixels) in color; for an unknown symbol a
// transparent pixmap (and one warning in the log).
QPixmap pixmap(const QString& symbol, const QSize& size, const QColor& color, qreal dpr = 1.0);
QIcon icon(const QString& symbol, const QColor& color);

} // namespace SymbolIcons
