#ifdef PENDREL_TEST_WIDGETS

#include "support/FocusRingMeasure.h"

#include "ui-kit/Color.h"

#include <QApplication>
#include <QImage>
#include <QWidget>

namespace testsupport {

int pixelsAtContrast(const QImage& plain, const QImage& focused, double ratio) {
    if (plain.size() != focused.size())
        return 0;
    const QImage a = plain.convertToFormat(QImage::Format_RGB32);
    const QImage b = focused.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (ra[x] != rb[x] && Color::contrast(QColor(ra[x]), QColor(rb[x])) >= ratio)
                ++count;
        }
    }
    return count;
}

RingSides ringSides(const QImage& plain, const QImage& focused, double ratio) {
    RingSides sides;
    if (plain.size() != focused.size())
        return sides;
    const QImage a = plain.convertToFormat(QImage::Format_RGB32);
    const QImage b = focused.convertToFormat(QImage::Format_RGB32);
    const int w = a.width();
    const int h = a.height();
    auto at = [](const QImage& image, int x, int y) {
        return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x] & 0xffffffu;
    };
    constexpr int kReach = 2;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb was = at(a, x, y);
            const QRgb is = at(b, x, y);
            if (was == is || Color::contrast(QColor(was), QColor(is)) < ratio)
                continue;
            bool touches = false;
            bool faint = false;
            for (int dy = -kReach; dy <= kReach && !faint; ++dy) {
                for (int dx = -kReach; dx <= kReach && !faint; ++dx) {
                    const int nx = x + dx;
                    const int ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h)
                        continue;
                    const QRgb beside = at(b, nx, ny);
                    if (beside != at(a, nx, ny))
                        continue;
                    touches = true;
                    faint = Color::contrast(QColor(is), QColor(beside)) < ratio;
                }
            }
            if (touches)
                ++(faint ? sides.faint : sides.seen);
        }
    }
    return sides;
}

RingSides ringAsTabShowsIt(QWidget* control, QWidget* elsewhere) {
    QWidget* window = control->window();
    window->setAttribute(Qt::WA_KeyboardFocusChange);
    elsewhere->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    // Measured once the window has laid out whatever changed before (a palette, a text size).
    const QRect place = QRect(control->mapTo(window, QPoint(0, 0)), control->size())
                            .adjusted(-3, -3, 3, 3)
                            .intersected(window->rect());
    const QImage plain = window->grab(place).toImage();
    control->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    if (!control->hasFocus())
        return {};
    return ringSides(plain, window->grab(place).toImage(), 3.0);
}

} // namespace testsupport

#endif
