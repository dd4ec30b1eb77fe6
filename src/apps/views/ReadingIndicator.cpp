#include "apps/views/ReadingIndicator.h"

#include "ui-kit/QKBusyPage.h"

#include <QLabel>

namespace ReadingIndicator {

QWidget* make(const QString& text, QWidget* parent) {
    auto* page = new QKBusyPage(text, {.indicator = QKBusyLook::Indicator::Bar}, parent);
    page->setObjectName(QStringLiteral("readingProgress"));
    page->line()->setObjectName(QStringLiteral("readingText"));
    return page;
}

} // namespace ReadingIndicator
