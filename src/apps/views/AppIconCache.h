#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>

// Icons of installed applications: the picture a bundle declares (a PNG or SVG in its
// resources) where it has one Qt can read, otherwise a tile with the name's first letter on a
// colour picked from the name, so every application keeps one recognisable icon. Drawings are
// kept per path and size for the life of the cache. Main thread.
class AppIconCache {
public:
    QPixmap pixmap(const QString& bundlePath, const QString& name, int size, qreal dpr);

    // The letter tile alone.
    static QPixmap tile(const QString& name, int size, qreal dpr);

private:
    QHash<QString, QPixmap> m_cache;
};
