#pragma once

#include <QWidget>

// A single line of text, cut at the end with "…" when it does not fit; its width can shrink to
// nothing, so a layout can always make room for its neighbours. It can draw digits in cells of
// equal width (tabular), so a figure that updates in place does not jitter. Font and colour come
// from the widget (QKFont::apply, QKForeground::apply). Assistive technology reads the whole
// text, never the cut one (QKAccessible), and a cut text shows the whole of it as its tooltip
// (unless the label has a tooltip of its own).
class QKLineLabel : public QWidget {
    Q_OBJECT
public:
    explicit QKLineLabel(const QString& text = QString(), QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    void setAlignment(Qt::Alignment alignment);
    void setTabularDigits(bool on);
    // The text as drawn at the current width.
    QString displayedText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    qreal naturalWidth(const QString& text) const;

    QString m_text;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool m_tabular = false;
};
