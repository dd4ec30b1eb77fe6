#include "home/GuidedReviewText.h"

#include "platform/TextConstant.h"

namespace GuidedReviewText {

PENDREL_TEXT(windowTitle, "Today's review")
PENDREL_TEXT(closeTip, "Close")
PENDREL_TEXT(whyTitle, "Why it matters")
PENDREL_TEXT(ifIgnoredTitle, "If you leave it")
PENDREL_TEXT(skipButton, "Skip")
PENDREL_TEXT(finishedTitle, "You're all caught up")
PENDREL_TEXT(finishedMessage, "You've reviewed everything Pendrel found today.")
PENDREL_TEXT(doneButton, "Done")

PENDREL_TEXT(entryLine, "Pendrel takes you through each item one at a time. You choose what "
                        "happens.")

} // namespace GuidedReviewText
