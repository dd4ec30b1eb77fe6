#include "storage/views/TreemapLegend.h"

#include "platform/ByteFormat.h"
#include "storage/DiskMapText.h"
#include "storage/views/CategoryColors.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLineLabel.h"

#include <algorithm>
#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QPainter>

namespace {

// The category's colour as a small rounded square, centred on the first line of its name: as
// tall as a line of the text beside it, so it follows the text size.
class Swatch : public QWidget {
public:
    Swatch(const QColor& color, QWidget* parent) : QWidget(parent), m_color(color) {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        QKFont::apply(this, TextStyle::Callout);
    }

    QSize sizeHint() const override { return QSize(12, std::max(12, fontMetrics().height())); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(m_color);
        const QRectF square(0, (height() - 12) / 2, 12, 12);
        p.drawRoundedRect(square.adjusted(1, 1, -1, -1), 3, 3);
    }

    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::FontChange)
            updateGeometry();
        QWidget::changeEvent(event);
    }

private:
    QColor m_color;
};

} // namespace

TreemapLegend::TreemapLegend(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("treemapLegend"));
    using namespace QKLayout;
    column({0, 0, 0, 0}, 6,
           {part(m_empty = QKBuild::label(DiskMapText::legendEmpty(), TextStyle::Caption,
                                          QKForeground::Secondary, this)),
            column(6, {}).keep(m_rows)})
        .on(this);
}

void TreemapLegend::setTotals(const CategoryTotals& totals) {
    while (QLayoutItem* item = m_rows->takeAt(0)) {
        if (QWidget* w = item->widget()) {
            w->hide(); // gone from view now, not when the event loop next turns
            w->deleteLater();
        }
        delete item;
    }
    m_texts.clear();
    for (const DiskMapCategory category : allCases<DiskMapCategory>()) {
        const auto it = totals.constFind(category);
        if (it == totals.cend())
            continue;
        using namespace QKLayout;
        auto* line = new QWidget(this);
        // A name too long for the panel at a large text size takes a second line, never a cut:
        // the swatch and the size stay beside its first line.
        items({part(line).holding(
                  row({0, 0, 0, 0}, 8,
                      {part(new Swatch(CategoryColors::color(category), line)).align(Qt::AlignTop),
                       part(QKBuild::label(title(category), TextStyle::Callout,
                                           QKForeground::Primary, line))
                           .stretch(1)
                           .align(Qt::AlignTop),
                       part(new QKLineLabel(formatBytes(it.value()), line))
                           .font(TextStyle::Callout)
                           .ink(QKForeground::Secondary)
                           .with([](QKLineLabel* size) {
                               size->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                           })
                           .align(Qt::AlignTop)}))})
            .fill(m_rows);
        m_texts << title(category) + QLatin1Char(' ') + formatBytes(it.value());
    }
    m_empty->setVisible(m_texts.isEmpty());
}

QStringList TreemapLegend::rowTexts() const {
    return m_texts;
}
