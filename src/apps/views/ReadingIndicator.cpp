#include "apps/views/ReadingIndicator.h"

#include "ui-kit/QKBuild.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace ReadingIndicator {

QWidget* make(const QString& text, QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("readingProgress"));
    auto* column = new QVBoxLayout(page);
    column->addStretch(1);
    auto* bar = new QProgressBar(page);
    bar->setRange(0, 0); // busy: no known amount
    bar->setTextVisible(false);
    bar->setFixedWidth(160);
    bar->setMaximumHeight(8);
    column->addWidget(bar, 0, Qt::AlignHCenter);
    QLabel* label = QKBuild::label(text, TextStyle::Callout, QKForeground::Secondary, page,
                                   std::nullopt, false);
    label->setObjectName(QStringLiteral("readingText"));
    column->addWidget(label, 0, Qt::AlignHCenter);
    column->addStretch(1);
    return page;
}

} // namespace ReadingIndicator
