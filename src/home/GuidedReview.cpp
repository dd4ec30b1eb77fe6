#include "home/GuidedReview.h"

#include <algorithm>

QString GuidedReview::entryTitle(int step, int n) {
    return isUnderWay(step, n) ? QStringLiteral("Continue today's review")
                               : QStringLiteral("Review today's recommendations");
}

QString GuidedReview::entryButton(int step, int n) {
    return isUnderWay(step, n) ? QStringLiteral("Continue") : QStringLiteral("Start guided review");
}

int GuidedReview::shownIndex(int step, int n) {
    return std::max(0, std::min(step, std::max(n - 1, 0)));
}

QString GuidedReview::stepHeader(int index, int n) {
    return QStringLiteral("Recommendation ") + QString::number(index + 1) + QStringLiteral(" of ") +
           QString::number(n);
}
