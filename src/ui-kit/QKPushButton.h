#pragma once

#include <optional>
#include <QFont>
#include <QPushButton>

// What the kit's push buttons share (QKProminentButton, QKBorderedButton): two sizes measured by
// QKButtonFace, small in the callout style and regular in the body style, both in the button's
// weight; Return presses it as Space does while it has the focus; a pointing hand; hover tracked
// for the face. A subclass paints the face.
class QKPushButton : public QPushButton {
    Q_OBJECT
public:
    void setSmall(bool small);
    bool isSmall() const { return m_small; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    QKPushButton(const QString& text, std::optional<QFont::Weight> weight, QWidget* parent);

private:
    std::optional<QFont::Weight> m_weight;
    bool m_small = false;
};
