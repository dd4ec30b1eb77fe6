#include "ui-kit/QKScanningProgress.h"

#include "ui-kit/QKBuild.h"
#include "ui-kit/QKSpinner.h"

#include <QLabel>
#include <QVBoxLayout>

QKScanningProgress::QKScanningProgress(qint64 count, QWidget* parent)
    : QWidget(parent), m_count(count) {
    auto* column = new QVBoxLayout(this);
    column->setSpacing(8);
    column->addStretch(1);
    m_spinner = new QKSpinner(this);
    QKFont::apply(m_spinner, TextStyle::Title2);
    QKForeground::apply(m_spinner, QKForeground::Secondary);
    column->addWidget(m_spinner, 0, Qt::AlignHCenter);
    m_label = QKBuild::label(text(count), TextStyle::Body, QKForeground::Secondary, this,
                             std::nullopt, false);
    m_label->setObjectName(QStringLiteral("scanningText"));
    column->addWidget(m_label, 0, Qt::AlignHCenter);
    column->addStretch(1);
}

void QKScanningProgress::setCount(qint64 count) {
    if (count == m_count)
        return;
    m_count = count;
    m_label->setText(text(count));
}

QString QKScanningProgress::text(qint64 count) {
    return QStringLiteral("Scanning… %1 files checked").arg(count);
}
