#pragma once

class QEvent;
class QRect;

// A button a delegate draws inside its row (a "Show" button, a switch). A left press or double
// click on it is taken, so the view neither selects the row for it nor starts a drag; the left
// release on it is the click. Any other event is the view's.
namespace QKRowButton {

enum class Hit { Elsewhere, Taken, Clicked };

// What a delegate's editor event does to the button drawn at `button` (viewport coordinates).
Hit hit(const QEvent* event, const QRect& button);

} // namespace QKRowButton
