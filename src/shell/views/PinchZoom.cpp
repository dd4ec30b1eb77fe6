#include "shell/views/PinchZoom.h"

#include "platform/UserDefaults.h"
#include "ui-kit/TextSize.h"
#include "ui-kit/ThemeSettings.h"

#include <algorithm>
#include <cmath>
#include <limits>

int zoomStep(int anchor, double scale) {
    const double steps = std::trunc((scale - 1.0) / PinchZoom::kScalePerStep);
    double size = double(anchor);
    if (std::isfinite(steps))
        size += steps;
    else if (!std::isnan(steps))
        size = steps; // ±infinity: all the way to one end
    return int(std::clamp(size, double(TextSize::Smallest), double(TextSize::Largest)));
}

PinchZoom::PinchZoom(UserDefaults& defaults) : m_defaults(defaults) {}

void PinchZoom::begin() {
    m_anchor.reset();
    m_active = true;
    m_recognised = false;
    m_scale = 1.0;
}

void PinchZoom::changeBy(double delta) {
    if (!m_active)
        begin();
    change(m_scale * (1.0 + delta));
}

void PinchZoom::change(double scale) {
    if (!m_active)
        begin();
    m_scale = scale;
    if (!m_recognised) {
        if (!(std::abs(scale - 1.0) >= kMinimumDelta))
            return;
        m_recognised = true;
    }
    const qint64 stored = TextSize::rawStep(m_defaults);
    if (!m_anchor) {
        // A stored step far outside the range still anchors, as the number it is.
        m_anchor = int(std::clamp<qint64>(stored, std::numeric_limits<int>::min() / 2,
                                          std::numeric_limits<int>::max() / 2));
    }
    const int size = zoomStep(*m_anchor, scale);
    if (size != stored)
        m_defaults.setValue(ThemeKeys::FontSize, size);
}

void PinchZoom::end() {
    m_anchor.reset();
    m_active = false;
    m_recognised = false;
    m_scale = 1.0;
}
