#pragma once

#include <QString>

class QWidget;

namespace ReadingIndicator {
// A page that says the screen is reading: a busy bar with the text under it, centred in all
// the space it gets.
QWidget* make(const QString& text, QWidget* parent);
} // namespace ReadingIndicator
