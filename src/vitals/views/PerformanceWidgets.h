#pragma once

#include "ui-kit/QKForeground.h"
#include "vitals/PerformanceText.h"

namespace QKLayout {
class Box;
}
class QLabel;
class QWidget;

// Builders only the Performance screen's pages use; the generic ones are in QKBuild.
namespace PerformanceWidgets {

// The interface colour of a tone.
QKForeground::Style toneStyle(PerformanceText::Tone tone);

// "Because" above a wrapped detail sentence in callout, as a box of a declared tree; `detail`
// is set to the sentence's label as the tree is written.
QKLayout::Box becauseBlock(QLabel*& detail, QWidget* parent);

} // namespace PerformanceWidgets
