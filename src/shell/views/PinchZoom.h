#pragma once

#include <optional>

class UserDefaults;

// The text-size step a pinch gives: anchor + (scale − 1) / 0.18 truncated toward zero, clamped to
// 0…4. The division is done in double precision, so a scale of exactly 1.18 gives 0.99999… steps
// and no change. A scale that is not a finite number gives the anchor clamped to 0…4; a huge one
// clamps before any conversion, so every input is defined.
int zoomStep(int anchor, double scale);

// Turns one pinch on the main window's detail card into text-size steps under "theme.fontSize".
//
// The first change of a pinch takes the stored raw step (2 when missing or not an integer, and
// an out-of-range integer as it stands) as the anchor; every change stores zoomStep(anchor, scale)
// when that differs from the stored value, so pinching back towards 1 undoes the steps. end()
// forgets the anchor: the next pinch starts from whatever is stored then.
//
// A pinch counts only once its scale has moved at least kMinimumDelta away from 1; smaller
// movements (a hand resting on the pad) change nothing. Main thread only.
class PinchZoom {
public:
    explicit PinchZoom(UserDefaults& defaults);

    // A new pinch: the cumulative scale starts at 1 and the anchor is taken afresh.
    void begin();
    // The pinch's cumulative scale now (1 at its start).
    void change(double scale);
    void end();

    // Applies one incremental zoom report as the platform sends them (the scale grows by the
    // factor 1 + delta); a report with no begin() starts a pinch.
    void changeBy(double delta);

    std::optional<int> anchor() const { return m_anchor; }
    bool isActive() const { return m_active; }
    double scale() const { return m_scale; }

    static constexpr double kMinimumDelta = 0.05;
    static constexpr double kScalePerStep = 0.18;

private:
    UserDefaults& m_defaults;
    std::optional<int> m_anchor;
    bool m_active = false;
    bool m_recognised = false;
    double m_scale = 1.0;
};
