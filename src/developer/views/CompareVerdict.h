#pragma once

#include "developer/FileCompareText.h"

#include <QWidget>

class QKIconLabel;
class QKSpinner;

// The verdict slot of the file compare's title row: a small spinner while a run is busy,
// "Identical" or "Different" with their seals, or the three counts of a line diff (added in
// green, removed in red, changed in orange, zeros included). Hidden while there is no result.
class CompareVerdict : public QWidget {
    Q_OBJECT
public:
    explicit CompareVerdict(QWidget* parent = nullptr);

    void setVerdict(FileCompareText::Verdict verdict, const DiffSummary& summary);
    FileCompareText::Verdict verdict() const { return m_verdict; }

private:
    FileCompareText::Verdict m_verdict = FileCompareText::Verdict::Hidden;
    QKSpinner* m_spinner;
    QKIconLabel* m_identical;
    QKIconLabel* m_different;
    QWidget* m_counts;
    QKIconLabel* m_added;
    QKIconLabel* m_removed;
    QKIconLabel* m_changed;
};
