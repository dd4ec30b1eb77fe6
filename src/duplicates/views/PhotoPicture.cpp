#include "duplicates/views/PhotoPicture.h"

#include "duplicates/DuplicatesText.h"
#include "platform/PhotoImage.h"
#include "platform/RegularFile.h"
#include "platform/SymbolIcons.h"
#include "shell/ScanJob.h"
#include "ui-kit/Color.h"
#include "ui-kit/QKAccessible.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

PhotoPicture::PhotoPicture(const QString& path, Mode mode, const QString& placeholderSymbol,
                           qreal radius, int decodeEdge, QWidget* parent)
    : QWidget(parent), m_path(path), m_mode(mode), m_placeholder(placeholderSymbol),
      m_radius(radius) {
    setAccessibleName(DuplicatesText::shownName(path));
    QKAccessible::setRole(this, QAccessible::Graphic);
    ScanJob::runInPool([self = QPointer(this), path, edge = decodeEdge] {
        // Opened by the path's own bytes first, so the image readers get this very file
        // whatever its name holds, and never wait on anything that is not a regular file.
        std::optional<QImage> image;
        if (const RegularFile file(path); file.isOpen())
            image = PhotoImage::read(file.descriptorPath(), QSize(edge, edge));
        ScanJob::deliver(self, [image = std::move(image)](PhotoPicture* thumb) {
            thumb->m_loading = false;
            if (!image)
                return;
            thumb->m_image = *image;
            thumb->update();
            emit thumb->imageLoaded();
        });
    });
}

void PhotoPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.save();
    paintPicture(p);
    p.restore();
    if (m_ringOwner && QKFocusRing::shows(m_ringOwner))
        QKFocusRing::paint(p, rect(), m_radius, palette(), ringUnder());
}

QColor PhotoPicture::ringUnder() const {
    const QColor window = palette().color(QPalette::Window);
    if (m_image.isNull())
        return Color::over(QKForeground::color(QKForeground::Quaternary, palette()), window);
    if (m_mode == Mode::Fit)
        return Color::over(QColor(0, 0, 0, int(255 * 0.15)), window);
    // A cropped picture fills the frame to its edge: the ring runs over the picture's own
    // colours, and their average is what it has to stand apart from.
    const QImage one = m_image.convertToFormat(QImage::Format_RGB32)
                           .scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return one.pixelColor(0, 0);
}

void PhotoPicture::paintPicture(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF frame = rect();
    QPainterPath shape;
    shape.addRoundedRect(frame, m_radius, m_radius);
    if (m_image.isNull()) {
        p.fillPath(shape, QKForeground::color(QKForeground::Quaternary, palette()));
        // Fonts may be sized in pixels, so the glyph follows the font's height, not its points.
        const int edge = QFontMetrics(QKFont{.style = TextStyle::Title2}.current()).height();
        const QPixmap glyph = SymbolIcons::pixmap(
            m_placeholder, QSize(edge, edge),
            QKForeground::color(QKForeground::Secondary, palette()), devicePixelRatioF());
        p.drawPixmap(QPointF(frame.center().x() - edge / 2.0, frame.center().y() - edge / 2.0),
                     glyph);
        return;
    }
    const QSizeF source = m_image.size();
    if (m_mode == Mode::Fill) {
        p.setClipPath(shape);
        const QSizeF covered = source.scaled(frame.size(), Qt::KeepAspectRatioByExpanding);
        const QRectF target(frame.center().x() - covered.width() / 2,
                            frame.center().y() - covered.height() / 2, covered.width(),
                            covered.height());
        p.drawImage(target, m_image);
        return;
    }
    p.fillPath(shape, QColor(0, 0, 0, int(255 * 0.15)));
    const QSizeF fitted = source.scaled(frame.size(), Qt::KeepAspectRatio);
    const QRectF target(frame.center().x() - fitted.width() / 2,
                        frame.center().y() - fitted.height() / 2, fitted.width(), fitted.height());
    p.drawImage(target, m_image);
}

void PhotoPicture::ringFor(QWidget* owner) {
    m_ringOwner = owner;
}
