#pragma once

#include <QString>

// The fixed wording of the guided review's sheet and of the card on the home screen that opens
// it; what changes with the step is GuidedReview's.
namespace GuidedReviewText {

// The card's line under its title: how the review goes.
QString entryLine();

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
