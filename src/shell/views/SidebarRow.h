#pragma once

#include <QAbstractButton>
#include <QPixmap>

class QVariantAnimation;

// One section in the sidebar: an icon badge (29 × 29, corner radius 7) with the section's symbol,
// and its title on one line, cut at the end. The whole rectangle is clickable. Drawn for the dark
// sidebar: white text and symbol (82 % when not selected); a selected row sits on a soft white
// rounded fill (radius 10) with a white hairline inside its edge; a row under the pointer gets a
// fainter fill.
//
// The row reports clicks and never changes its own selection: the owner sets it. For assistive
// technology a row is a page tab, selected while it is the current section, whose one action
// is the click that opens its section.
class SidebarRow : public QAbstractButton {
    Q_OBJECT
public:
    SidebarRow(const QString& featureId, const QString& title, const QString& symbol,
               QWidget* parent = nullptr);

    QString featureId() const { return m_id; }
    QString title() const { return text(); }
    bool isSelected() const { return isChecked(); }
    // animated: the fill fades in or out over 0.16 s (ease-out) instead of switching at once.
    void setSelected(bool selected, bool animated = false);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr int kBadge = 29;
    static constexpr int kAnimationMs = 160;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void nextCheckState() override {} // the owner decides

private:
    QFont titleFont(bool selected) const;
    int symbolEdge() const;

    QString m_id;
    QString m_symbol;
    qreal m_emphasis = 0; // 0 unselected … 1 selected; animated between
    bool m_hovered = false;
    QVariantAnimation* m_animation;
    mutable QPixmap m_symbolCache;
    mutable QString m_symbolKey;
};
