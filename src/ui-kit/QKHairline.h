#pragma once

#include <optional>
#include <QWidget>

// A horizontal rule one point high that spans its row. Without an ink it is the primary text
// colour of the inherited palette at `alpha`, resolved at paint time; with one, that colour.
class QKHairline : public QWidget {
    Q_OBJECT
public:
    explicit QKHairline(QWidget* parent = nullptr, qreal alpha = 0.10,
                        std::optional<QColor> ink = std::nullopt);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal m_alpha;
    std::optional<QColor> m_ink;
};
