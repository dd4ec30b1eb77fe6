#pragma once

#include "ui-kit/QKRule.h"

#include <optional>

// A horizontal rule one point high that spans its row (QKRule). Without an ink it is the primary
// text colour of the inherited palette at `alpha`, resolved at paint time; with one, that colour.
class QKHairline : public QKRule {
    Q_OBJECT
public:
    explicit QKHairline(QWidget* parent = nullptr, qreal alpha = 0.10,
                        std::optional<QColor> ink = std::nullopt);
};
