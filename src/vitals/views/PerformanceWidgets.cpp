#include "vitals/views/PerformanceWidgets.h"

#include "ui-kit/QKBuild.h"

#include <QLabel>
#include <QVBoxLayout>

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

QLabel* addBecauseBlock(QVBoxLayout* column, QWidget* parent) {
    auto* block = new QVBoxLayout;
    block->setSpacing(4);
    block->addWidget(QKBuild::label(QStringLiteral("Because"), TextStyle::Caption,
                                    QKForeground::Secondary, parent, QFont::DemiBold, false));
    QLabel* detail = QKBuild::label(QString(), TextStyle::Callout, QKForeground::Primary, parent);
    block->addWidget(detail);
    column->addLayout(block);
    return detail;
}

} // namespace PerformanceWidgets
