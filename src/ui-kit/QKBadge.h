#pragma once

#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"

#include <QSize>
#include <QWidget>

// How a badge is drawn: its text style (always semibold), the opacity of the capsule behind the
// text, and the padding on each side of the text (left and right, above and below).
struct QKBadgeLook {
    TextStyle style = TextStyle::Caption2;
    qreal fill = 0.12;
    QSize padding{8, 3};
};

// A short word on a capsule (a status, a saving, a grade): the text in the tone's colour on a
// fully rounded pill of the same colour at the look's opacity (paintCapsule). It is exactly as
// large as its text plus the padding and never stretches; a change of text or of font size
// re-sizes it. The colour is resolved at paint time, so it follows the theme. The text is also
// the accessible name.
class QKBadge : public QWidget {
    Q_OBJECT
public:
    explicit QKBadge(const QString& text = QString(),
                     QKForeground::Style tone = QKForeground::Secondary, QKBadgeLook look = {},
                     QWidget* parent = nullptr);

    QString text() const { return m_text; }
    QKForeground::Style tone() const { return m_tone; }
    // Changes the word and its colour; nothing happens when both are as they were.
    void set(const QString& text, QKForeground::Style tone);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    QKForeground::Style m_tone;
    QKBadgeLook m_look;
};
