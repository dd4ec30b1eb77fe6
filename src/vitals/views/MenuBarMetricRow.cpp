#include "vitals/views/MenuBarMetricRow.h"

#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKLineLabel.h"

#include <cmath>
#include <QEvent>
#include <QFontMetricsF>

namespace {

constexpr int kSpacing = 8; // between the title and the value, and the value and the subtitle
constexpr int kLineGap = 2; // between the title's line and the figures' line when split

struct LineBox {
    int ascent = 0;
    int height = 0;
};

LineBox lineBox(const QWidget* label) {
    const QFontMetricsF fm(label->font());
    return {int(std::lround(fm.ascent())), int(std::ceil(fm.height()))};
}

} // namespace

MenuBarMetricRow::MenuBarMetricRow(const QString& title, QWidget* parent)
    : QWidget(parent), m_title(new QKLineLabel(title, this)), m_value(new QKLineLabel({}, this)),
      m_subtitle(new QKLineLabel({}, this)) {
    QKFont::apply(m_title, TextStyle::Caption, QFont::DemiBold);
    QKForeground::apply(m_title, QKForeground::Secondary);
    QKFont::apply(
        m_value,
        QKFont{.style = TextStyle::Callout, .weight = QFont::DemiBold, .monospacedDigit = true});
    m_value->setTabularDigits(true);
    m_value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QKForeground::apply(m_value, QKForeground::Primary);
    QKFont::apply(m_subtitle, TextStyle::Caption2);
    QKForeground::apply(m_subtitle, QKForeground::Secondary);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QString MenuBarMetricRow::title() const {
    return m_title->text();
}
QString MenuBarMetricRow::value() const {
    return m_value->text();
}
QString MenuBarMetricRow::subtitle() const {
    return m_subtitle->text();
}

void MenuBarMetricRow::setValue(const QString& value) {
    m_value->setText(value);
    updateGeometry();
    place();
}

void MenuBarMetricRow::setSubtitle(const QString& subtitle) {
    m_subtitle->setText(subtitle);
    updateGeometry();
    place();
}

int MenuBarMetricRow::naturalWidth() const {
    return m_title->sizeHint().width() + m_value->sizeHint().width() +
           m_subtitle->sizeHint().width() + 2 * kSpacing;
}

int MenuBarMetricRow::lineHeight(std::initializer_list<const QWidget*> labels) {
    int ascent = 0, below = 0;
    for (const QWidget* label : labels) {
        const LineBox box = lineBox(label);
        ascent = std::max(ascent, box.ascent);
        below = std::max(below, box.height - box.ascent);
    }
    return ascent + below;
}

QSize MenuBarMetricRow::sizeHint() const {
    return QSize(naturalWidth(), lineHeight({m_title, m_value, m_subtitle}));
}

QSize MenuBarMetricRow::minimumSizeHint() const {
    return QSize(m_value->sizeHint().width() + m_subtitle->sizeHint().width() + kSpacing,
                 lineHeight({m_title, m_value, m_subtitle}));
}

bool MenuBarMetricRow::hasHeightForWidth() const {
    return true;
}

int MenuBarMetricRow::heightForWidth(int width) const {
    if (naturalWidth() <= width)
        return lineHeight({m_title, m_value, m_subtitle});
    return lineHeight({m_title}) + kLineGap + lineHeight({m_value, m_subtitle});
}

bool MenuBarMetricRow::event(QEvent* event) {
    // A label's font or text changed: it asks its parent (this row, which has no layout) to
    // lay out again.
    if (event->type() == QEvent::LayoutRequest) {
        updateGeometry();
        place();
        return true;
    }
    if (event->type() == QEvent::Show)
        place();
    return QWidget::event(event);
}

void MenuBarMetricRow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
}

void MenuBarMetricRow::place() {
    const bool oneLine = naturalWidth() <= width();
    // Each line's texts sit on the line's baseline: the largest ascent among them.
    const auto baselineOf = [](std::initializer_list<const QKLineLabel*> labels) {
        int baseline = 0;
        for (const QKLineLabel* label : labels)
            baseline = std::max(baseline, lineBox(label).ascent);
        return baseline;
    };
    const auto put = [](QKLineLabel* label, int x, int baseline, int w) {
        const LineBox box = lineBox(label);
        label->setGeometry(x, baseline - box.ascent, std::max(0, w), box.height);
    };

    int trailingBaseline = 0;
    int titleBaseline = 0;
    if (oneLine) {
        trailingBaseline = titleBaseline = baselineOf({m_title, m_value, m_subtitle});
    } else {
        // Too narrow for one line (large text): the title keeps its own line and the figures
        // move under it, still at the trailing edge.
        titleBaseline = baselineOf({m_title});
        trailingBaseline = lineHeight({m_title}) + kLineGap + baselineOf({m_value, m_subtitle});
    }
    int right = width();
    const int subtitleWidth = m_subtitle->sizeHint().width();
    put(m_subtitle, right - subtitleWidth, trailingBaseline, subtitleWidth);
    if (subtitleWidth > 0)
        right -= subtitleWidth + kSpacing;
    const int valueWidth = std::min(m_value->sizeHint().width(), std::max(0, right));
    put(m_value, right - valueWidth, trailingBaseline, valueWidth);
    right -= valueWidth + kSpacing;
    put(m_title, 0, titleBaseline, oneLine ? right : width());
}
