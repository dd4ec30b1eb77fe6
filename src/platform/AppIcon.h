#pragma once

#include <QIcon>
#include <QPixmap>

// The application's own icon (resources/app/pendrel.svg), drawn at any size.
namespace AppIcon {
QIcon icon();
QPixmap pixmap(int size, qreal devicePixelRatio = 2.0);
} // namespace AppIcon
