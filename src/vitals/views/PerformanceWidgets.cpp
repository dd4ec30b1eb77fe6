#include "vitals/views/PerformanceWidgets.h"

#include "ui-kit/QKBuild.h"
#include "ui-kit/QKLayout.h"

#include <QLabel>

namespace PerformanceWidgets {

QKForeground::Style toneStyle(PerformanceText::Tone tone) {
    switch (tone) {
    case PerformanceText::Tone::Green:
        return QKForeground::Green;
    case PerformanceText::Tone::Orange:
        return QKForeground::Orange;
    case PerformanceText::Tone::Neutral:
        return QKForeground::Secondary;
    case PerformanceText::Tone::Red:
        break;
    }
    return QKForeground::Red;
}

QKLayout::Box becauseBlock(QLabel*& detail, QWidget* parent) {
    return QKLayout::column(
        4, {QKBuild::label(PerformanceText::becauseTitle(), TextStyle::Caption,
                           QKForeground::Secondary, parent, QFont::DemiBold, false),
            detail = QKBuild::label(QString(), TextStyle::Callout, QKForeground::Primary, parent)});
}

} // namespace PerformanceWidgets
