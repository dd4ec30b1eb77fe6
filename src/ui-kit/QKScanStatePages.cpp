#include "ui-kit/QKScanStatePages.h"

#include "ui-kit/QKEmptyState.h"

QKScanStatePages::QKScanStatePages(QWidget* parent) : QStackedWidget(parent) {}

QWidget* QKScanStatePages::setPage(QKScanPhase phase, QWidget* page) {
    if (page && indexOf(page) < 0)
        addWidget(page);
    m_pages[std::size_t(phase)] = page;
    return page;
}

QWidget* QKScanStatePages::page(QKScanPhase phase) const {
    return m_pages[std::size_t(phase)];
}

void QKScanStatePages::showPhase(QKScanPhase phase, const QString& failure) {
    QWidget* target = page(phase);
    if (!target)
        return;
    if (phase == QKScanPhase::Failed)
        if (auto* failed = qobject_cast<QKEmptyState*>(target))
            failed->setMessage(failure);
    setCurrentWidget(target);
}

bool QKScanStatePages::isShowing(QKScanPhase phase) const {
    return page(phase) && currentWidget() == page(phase);
}
