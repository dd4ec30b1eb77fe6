#include "ui-kit/QKScanningProgress.h"

#include <QLabel>

QKScanningProgress::QKScanningProgress(qint64 count, QWidget* parent)
    : QKBusyPage(text(count),
                 {.indicator = QKBusyLook::Indicator::LargeSpinner,
                  .style = TextStyle::Body,
                  .spacing = 8},
                 parent),
      m_count(count) {
    line()->setObjectName(QStringLiteral("scanningText"));
}

void QKScanningProgress::setCount(qint64 count) {
    if (count == m_count)
        return;
    m_count = count;
    setText(text(count));
}

QString QKScanningProgress::text(qint64 count) {
    return QStringLiteral("Scanning… %1 files checked").arg(count);
}
