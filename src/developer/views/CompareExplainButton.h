#pragma once

#include <QPushButton>

class QLabel;
class QKSpinner;
class QKSymbol;

// The "Explain changes" push button: the sparkles symbol and its title; while an explanation is
// being written, a small spinner and "Reading…" instead, and no clicks.
class CompareExplainButton : public QPushButton {
    Q_OBJECT
public:
    explicit CompareExplainButton(QWidget* parent = nullptr);

    void setWorking(bool working);
    QString label() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

private:
    QKSymbol* m_symbol;
    QKSpinner* m_spinner;
    QLabel* m_label;
};
