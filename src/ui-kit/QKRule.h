#pragma once

#include <optional>
#include <QColor>
#include <QWidget>

// A rule one point thick that runs the whole length it is given: across its row when
// horizontal, from top to bottom of its row when vertical. Its ink is resolved at paint time, so
// a change of theme repaints it right:
// - Foreground: the primary text colour of the inherited palette (QKForeground) at `alpha`;
// - WindowText: the palette's window-text colour at `alpha` (for rules that must match text
//   drawn straight from the palette);
// - a fixed colour, drawn as given (alpha ignored).
class QKRule : public QWidget {
    Q_OBJECT
public:
    enum class Ink { Foreground, WindowText };

    explicit QKRule(Qt::Orientation orientation, QWidget* parent = nullptr, qreal alpha = 0.10,
                    Ink ink = Ink::Foreground);
    QKRule(Qt::Orientation orientation, const QColor& ink, QWidget* parent = nullptr);

    Qt::Orientation orientation() const { return m_orientation; }
    // The colour the rule paints now.
    QColor inkColor() const;

protected:
    // For QKHairline: a fixed colour when `ink` is set, else the foreground at `alpha`.
    QKRule(Qt::Orientation orientation, QWidget* parent, qreal alpha, std::optional<QColor> ink);
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation m_orientation;
    qreal m_alpha;
    Ink m_ink;
    std::optional<QColor> m_fixed;
};
