#pragma once

#include "platform/TamsoSafety.h"
#include "ui-kit/QKBadge.h"

// A grade's badge: its text in caption 2 semibold, in the grade's colour (green, orange, red,
// or the secondary text colour for "Keep these"), on a capsule of that colour at 12 %, with 6
// points of padding left and right and 2 above and below.
class TamsoSafetyBadge : public QKBadge {
    Q_OBJECT
public:
    explicit TamsoSafetyBadge(TamsoSafety safety, QWidget* parent = nullptr);

    TamsoSafety safety() const { return m_safety; }
    void setSafety(TamsoSafety safety);
    static QKForeground::Style colorStyle(TamsoSafety safety);

private:
    TamsoSafety m_safety;
};
