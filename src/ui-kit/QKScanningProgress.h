#pragma once

#include "ui-kit/QKBusyPage.h"

// What a screen shows while a scan walks files: a large spinner and, under it, "Scanning… N
// files checked" in body size and the secondary colour, 8 points apart, centred in all the space
// it is given (QKBusyPage). The count is set as the scan reports it.
class QKScanningProgress : public QKBusyPage {
    Q_OBJECT
public:
    explicit QKScanningProgress(qint64 count = 0, QWidget* parent = nullptr);

    void setCount(qint64 count);
    qint64 count() const { return m_count; }
    // "Scanning… 12000 files checked": the count as a plain decimal number.
    static QString text(qint64 count);

private:
    qint64 m_count = 0;
};
