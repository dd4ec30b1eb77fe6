#include "ui-kit/TamsoSafetyBadge.h"

TamsoSafetyBadge::TamsoSafetyBadge(TamsoSafety safety, QWidget* parent)
    : QKBadge(title(safety), colorStyle(safety), {.padding = QSize(6, 2)}, parent),
      m_safety(safety) {}

void TamsoSafetyBadge::setSafety(TamsoSafety safety) {
    m_safety = safety;
    set(title(safety), colorStyle(safety));
}

QKForeground::Style TamsoSafetyBadge::colorStyle(TamsoSafety safety) {
    switch (safety) {
    case TamsoSafety::Safe:
        return QKForeground::Green;
    case TamsoSafety::CheckFirst:
        return QKForeground::Orange;
    case TamsoSafety::Risky:
        return QKForeground::Red;
    case TamsoSafety::Keep:
        break;
    }
    return QKForeground::Secondary;
}
