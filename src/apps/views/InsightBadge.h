#pragma once

#include "ui-kit/QKForeground.h"

#include <QWidget>

// A short word on a capsule: caption-2 semibold in the tone's colour, padded 8 points left and
// right and 3 above and below, on a capsule of that colour at 12 %.
class InsightBadge : public QWidget {
    Q_OBJECT
public:
    InsightBadge(const QString& text, QKForeground::Style tone, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    QKForeground::Style tone() const { return m_tone; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString m_text;
    QKForeground::Style m_tone;
};
