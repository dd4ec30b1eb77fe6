#pragma once

#include "ui-kit/QKFont.h"

#include <QWidget>

class QLabel;

// "Best quality" with a filled star, bold, in yellow (a deeper yellow on light backgrounds so
// it stays legible).
class BestQualityLabel : public QWidget {
    Q_OBJECT
public:
    BestQualityLabel(TextStyle style, QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    void recolor();

    TextStyle m_style;
    QLabel* m_star;
    QLabel* m_text;
    bool m_recoloring = false;
};
