#pragma once

#include <QString>

// The fixed wording of the guided review's sheet; what changes with the step is GuidedReview's.
namespace GuidedReviewText {

QString windowTitle();    // "Today's review"
QString closeTip();       // the close button's "Close"
QString whyTitle();       // "Why it matters", over the card's reason
QString ifIgnoredTitle(); // "If you leave it", over what waiting costs
QString skipButton();     // "Skip"
// The finished view: its title, its line and its "Done" button.
QString finishedTitle();
QString finishedMessage();
QString doneButton();

} // namespace GuidedReviewText
