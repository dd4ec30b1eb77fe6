#include "ui-kit/QKHairline.h"

QKHairline::QKHairline(QWidget* parent, qreal alpha, std::optional<QColor> ink)
    : QKRule(Qt::Horizontal, parent, alpha, std::move(ink)) {}
