#pragma once

#include <initializer_list>
#include <QWidget>

class QKLineLabel;

// One metric of the menu-bar panel on a single line: the title at the leading edge (caption,
// semibold, secondary), then at the trailing edge the value (callout, semibold, equal-width
// digits) followed by the subtitle (caption2, secondary). The three texts share one baseline
// whatever their sizes; when the row is narrow the title gives way (cut with "…"), never the
// value. When the three do not fit on one line (large text), the title keeps the first line and
// the value and subtitle move to a second line at the trailing edge.
class MenuBarMetricRow : public QWidget {
    Q_OBJECT
public:
    explicit MenuBarMetricRow(const QString& title, QWidget* parent = nullptr);

    QString title() const;
    QString value() const;
    QString subtitle() const;
    void setValue(const QString& value);
    void setSubtitle(const QString& subtitle);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();
    int naturalWidth() const;
    static int lineHeight(std::initializer_list<const QWidget*> labels);

    QKLineLabel* m_title;
    QKLineLabel* m_value;
    QKLineLabel* m_subtitle;
};
