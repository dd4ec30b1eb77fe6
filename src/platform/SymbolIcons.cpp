#include "platform/SymbolIcons.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPixmapCache>
#include <QSet>
#include <QSvgRenderer>

// The icons are compiled into this static library; its resource initialiser is only linked
// when something calls it.
static void initIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace {

struct Row {
    const char* symbol; // the app's name
    const char* file;   // "outline/<name>" or "filled/<name>" in the icon set
};

// Keep sorted by symbol. tools/sync-icons.py copies exactly these files into resources/icons.
const Row kRows[] = {
    {"app", "outline/app-window"},
    {"app.badge", "outline/apps"},
    {"arrow.3.trianglepath", "outline/recycle"},
    {"arrow.clockwise", "outline/refresh"},
    {"arrow.down.circle", "outline/arrow-down-circle"},
    {"arrow.left.arrow.right", "outline/arrows-left-right"},
    {"arrow.left.arrow.right.square", "outline/arrows-exchange"},
    {"arrow.uturn.backward", "outline/arrow-back-up"},
    {"battery.100", "outline/battery-4"},
    {"battery.100.bolt", "outline/battery-charging"},
    {"battery.50", "outline/battery-2"},
    {"bell.badge", "outline/bell-ringing"},
    {"brain", "outline/brain"},
    {"brain.head.profile", "outline/brain"},
    {"bubble.left.and.bubble.right", "outline/messages"},
    {"camera.viewfinder", "outline/capture"},
    {"chart.bar.doc.horizontal", "outline/report-analytics"},
    {"chart.bar.xaxis", "outline/chart-bar"},
    {"checkmark.circle", "outline/circle-check"},
    {"checkmark.circle.fill", "filled/circle-check"},
    {"checkmark.seal.fill", "filled/rosette-discount-check"},
    {"chevron.left", "outline/chevron-left"},
    {"chevron.left.forwardslash.chevron.right", "outline/code"},
    {"chevron.right", "outline/chevron-right"},
    {"clock.arrow.2.circlepath", "outline/clock-play"},
    {"clock.arrow.circlepath", "outline/history"},
    {"clock.badge.checkmark", "outline/clock-check"},
    {"cloud", "outline/cloud"},
    {"cpu", "outline/cpu"},
    {"creditcard", "outline/credit-card"},
    {"cup.and.saucer.fill", "filled/mug"},
    {"cursorarrow.rays", "outline/pointer"},
    {"doc", "outline/file"},
    {"doc.badge.plus", "outline/file-plus"},
    {"doc.fill", "filled/file"},
    {"doc.on.doc", "outline/copy"},
    {"doc.plaintext", "outline/file-text"},
    {"doc.viewfinder", "outline/file-search"},
    {"envelope", "outline/mail"},
    {"exclamationmark.circle.fill", "filled/alert-circle"},
    {"exclamationmark.octagon.fill", "filled/alert-octagon"},
    {"exclamationmark.triangle", "outline/alert-triangle"},
    {"exclamationmark.triangle.fill", "filled/alert-triangle"},
    {"eye", "outline/eye"},
    {"eye.slash", "outline/eye-off"},
    {"fan", "outline/propeller"},
    {"folder", "outline/folder"},
    {"folder.badge.gearshape", "outline/folder-cog"},
    {"gauge.with.dots.needle.50percent", "outline/gauge"},
    {"gearshape.2", "outline/settings"},
    {"hammer", "outline/hammer"},
    {"hand.raised.shield", "outline/shield-half"},
    {"hand.tap", "outline/hand-click"},
    {"house", "outline/home"},
    {"icloud", "outline/cloud"},
    {"info.circle", "outline/info-circle"},
    {"internaldrive", "outline/database"},
    {"lock.doc", "outline/file-lock"},
    {"lock.fill", "filled/lock"},
    {"lock.shield", "outline/shield-lock"},
    {"lock.shield.fill", "filled/shield-lock"},
    {"lock.slash", "outline/lock-off"},
    {"macwindow", "outline/app-window"},
    {"magnifyingglass", "outline/search"},
    {"memorychip", "outline/cpu-2"},
    {"minus.circle.fill", "outline/circle-minus"},
    {"mug", "outline/mug"},
    {"pencil.circle.fill", "filled/pencil"},
    {"photo", "outline/photo"},
    {"photo.on.rectangle.angled", "outline/photo-search"},
    {"pin", "outline/pin"},
    {"pin.fill", "filled/pin"},
    {"plus", "outline/plus"},
    {"plus.circle.fill", "filled/circle-plus"},
    {"power", "outline/power"},
    {"rectangle.on.rectangle", "outline/layers-intersect"},
    {"shippingbox", "outline/package"},
    {"slider.horizontal.3", "outline/adjustments-horizontal"},
    {"sparkles", "outline/sparkles"},
    {"speedometer", "outline/dashboard"},
    {"square.grid.2x2", "outline/layout-grid"},
    {"star.fill", "filled/star"},
    {"stethoscope", "outline/stethoscope"},
    {"textformat.size.larger", "outline/text-increase"},
    {"textformat.size.smaller", "outline/text-decrease"},
    {"thermometer.high", "outline/temperature-plus"},
    {"thermometer.medium", "outline/temperature"},
    {"trash", "outline/trash"},
    {"wifi.slash", "outline/wifi-off"},
    {"xmark", "outline/x"},
    {"xmark.circle", "outline/circle-x"},
    {"xmark.circle.fill", "filled/circle-x"},
    {"xmark.seal.fill", "outline/rosette-discount-check-off"},
};

const QHash<QString, QString>& table() {
    static const QHash<QString, QString> t = [] {
        initIconResources();
        QHash<QString, QString> h;
        for (const Row& r : kRows) {
            QString file = QString::fromLatin1(r.file);
            file.replace(QLatin1Char('/'), QLatin1Char('-'));
            h.insert(QString::fromLatin1(r.symbol), QStringLiteral(":/icons/%1.svg").arg(file));
        }
        return h;
    }();
    return t;
}

} // namespace

namespace SymbolIcons {

QString resourcePath(const QString& symbol) {
    return table().value(symbol);
}

bool resolves(const QString& symbol) {
    const QString path = resourcePath(symbol);
    return !path.isEmpty() && QFile::exists(path);
}

QStringList knownSymbols() {
    QStringList names = table().keys();
    names.sort();
    return names;
}

QPixmap pixmap(const QString& symbol, const QSize& size, const QColor& color, qreal dpr) {
    // Rows paint the same few symbols again on every frame: reading and rendering the SVG each
    // time costs a long list most of its paint. The shared pixmap cache bounds what is kept.
    const QString key = QStringLiteral("symbol:%1:%2x%3:%4:%5")
                            .arg(symbol)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(color.name(QColor::HexArgb))
                            .arg(dpr);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;
    QPixmap pm(size * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QFile file(resourcePath(symbol));
    if (!file.open(QIODevice::ReadOnly)) {
        static QSet<QString> warned;
        if (!warned.contains(symbol)) {
            warned.insert(symbol);
            qWarning("Pendrel: no icon for the symbol \"%s\"", qPrintable(symbol));
        }
        return pm;
    }
    QByteArray svg = file.readAll();
    svg.replace("currentColor", color.name(QColor::HexRgb).toLatin1());
    QSvgRenderer renderer(svg);
    QPainter painter(&pm);
    painter.setRenderHint(QPainter::Antialiasing);
    if (color.alphaF() < 1.0)
        painter.setOpacity(color.alphaF());
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    QPixmapCache::insert(key, pm);
    return pm;
}

QIcon icon(const QString& symbol, const QColor& color) {
    QIcon result;
    for (int px : {16, 24, 32, 48})
        result.addPixmap(pixmap(symbol, QSize(px, px), color, 1.0));
    return result;
}

} // namespace SymbolIcons
