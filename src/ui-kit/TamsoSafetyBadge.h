#pragma once

#include "platform/TamsoSafety.h"
#include "ui-kit/QKForeground.h"

#include <QWidget>

// A grade's badge: its text in caption 2 semibold, in the grade's colour (green, orange, red,
// or the secondary text colour for "Keep these"), on a capsule of that colour at 12 %.
class TamsoSafetyBadge : public QWidget {
    Q_OBJECT
public:
    explicit TamsoSafetyBadge(TamsoSafety safety, QWidget* parent = nullptr);

    TamsoSafety safety() const { return m_safety; }
    void setSafety(TamsoSafety safety);
    QString text() const { return title(m_safety); }
    static QKForeground::Style colorStyle(TamsoSafety safety);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    TamsoSafety m_safety;
};
