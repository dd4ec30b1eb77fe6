#pragma once

// How a control's focus indicator stands out, measured on what the control draws: the pixels the
// focus changed, and the colours beside them. Only for widget test programs.

class QImage;
class QWidget;

namespace testsupport {

// How many pixels of `focused` stand apart from the same pixel of `plain` (the control drawn
// unfocused, at the same size) by a contrast of at least `ratio`. A focus indicator is drawn over
// what the control shows unfocused, so this is its area that is told from both the surface it
// sits on and the unfocused look.
int pixelsAtContrast(const QImage& plain, const QImage& focused, double ratio);

// How a focus indicator stands against the colours beside it. Its pixels are those of `focused`
// that stand `ratio` apart from the same pixel of `plain` (the same region, with a margin of what
// surrounds the control, drawn unfocused); the colours beside it are the pixels the focus left
// as they were, within two pixels (a blended edge pixel of the indicator is neither). Of its
// pixels that touch such a colour, `seen` stand `ratio` apart from every one they touch and
// `faint` from some not: a ring in the accent over an accent fill is faint on its inner side, a
// black ring on a near-black window on its outer side.
struct RingSides {
    int seen = 0;
    int faint = 0;
};
RingSides ringSides(const QImage& plain, const QImage& focused, double ratio);

// ringSides at 3:1 for the ring `control` wears when Tab reaches it, measured on its window with
// three pixels of what surrounds it, against the same place while `elsewhere` has the focus.
// Nothing seen when the control does not take the focus. The window must be active.
RingSides ringAsTabShowsIt(QWidget* control, QWidget* elsewhere);

} // namespace testsupport
