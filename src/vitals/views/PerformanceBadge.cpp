#include "vitals/views/PerformanceBadge.h"

#include "vitals/views/PerformanceWidgets.h"

PerformanceBadge::PerformanceBadge(QWidget* parent)
    : QKBadge(QString(), PerformanceWidgets::toneStyle(PerformanceText::Tone::Green),
              {.style = TextStyle::Caption, .fill = 0.15}, parent) {}

void PerformanceBadge::set(const QString& text, PerformanceText::Tone tone) {
    m_tone = tone;
    QKBadge::set(text, PerformanceWidgets::toneStyle(tone));
}

void PerformanceBadge::setLevel(PerformanceText::Level level) {
    set(PerformanceText::levelWord(level), PerformanceText::levelTone(level));
}
