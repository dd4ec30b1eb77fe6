#pragma once

#include "ui-kit/QKForeground.h"
#include "vitals/PerformanceText.h"

class QLabel;
class QVBoxLayout;
class QWidget;

// Builders only the Performance screen's pages use; the generic ones are in QKBuild.
namespace PerformanceWidgets {

// The interface colour of a tone.
QKForeground::Style toneStyle(PerformanceText::Tone tone);

// "Because" above a wrapped detail sentence in callout; returns the sentence's label.
QLabel* addBecauseBlock(QVBoxLayout* column, QWidget* parent);

} // namespace PerformanceWidgets
