#pragma once

#include "ui-kit/QKForeground.h"

#include <optional>
#include <QWidget>

// A status dot, 8 points across. Its colour is either a foreground style, resolved against the
// inherited palette at paint time (so it follows the appearance without a rebuild), or a fixed
// colour, which wins while it is set.
class QKStatusDot : public QWidget {
    Q_OBJECT
public:
    explicit QKStatusDot(QWidget* parent = nullptr, int diameter = 8);

    void setStyle(QKForeground::Style style);
    void setColor(const QColor& color);
    // The colour painted now.
    QColor color() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QKForeground::Style m_style = QKForeground::Green;
    std::optional<QColor> m_fixed;
};
