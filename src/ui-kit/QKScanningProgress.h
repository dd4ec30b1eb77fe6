#pragma once

#include <QWidget>

class QKSpinner;
class QLabel;

// What a screen shows while a scan walks files: a spinner and, under it, "Scanning… N files
// checked" in the secondary colour, as a column with 8 points between them, centred in all the
// space it is given. The count is set as the scan reports it.
class QKScanningProgress : public QWidget {
    Q_OBJECT
public:
    explicit QKScanningProgress(qint64 count = 0, QWidget* parent = nullptr);

    void setCount(qint64 count);
    qint64 count() const { return m_count; }
    // "Scanning… 12000 files checked": the count as a plain decimal number.
    static QString text(qint64 count);

    QLabel* label() const { return m_label; }

private:
    qint64 m_count = 0;
    QKSpinner* m_spinner;
    QLabel* m_label;
};
