#include "shell/views/SidebarView.h"

#include "shell/AppVersion.h"
#include "shell/QKFeature.h"
#include "shell/SectionOrder.h"
#include "shell/SidebarText.h"
#include "shell/views/AppIconView.h"
#include "shell/views/SidebarRow.h"
#include "ui-kit/Color.h"
#include "ui-kit/QKClampedText.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKStatusDot.h"
#include "ui-kit/TextSizeControl.h"
#include "ui-kit/Themed.h"
#include "vitals/AppState.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <QBoxLayout>
#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextLayout>

namespace {

QColor white(qreal alpha) {
    QColor c(255, 255, 255);
    c.setAlphaF(float(alpha));
    return c;
}

// Fixes a widget's text colour (white at some opacity on the dark sidebar), keeping every other
// role inherited.
void setInk(QWidget* widget, const QColor& color) {
    QPalette pal = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::WindowText, color);
        pal.setColor(group, QPalette::Text, color);
    }
    widget->setPalette(pal);
}

// A group's title: upper case, letter-spaced by 0.8, wrapped onto more lines when the sidebar is
// too narrow for it (large text). Painted here because a font set through QKFont is replaced on
// every change of text size, letter spacing included.
class GroupTitle : public QWidget {
public:
    GroupTitle(const QString& text, QWidget* parent) : QWidget(parent), m_text(text.toUpper()) {
        setObjectName(QStringLiteral("groupTitle"));
        setAccessibleName(m_text);
        QKFont::apply(this, TextStyle::Caption2, QFont::DemiBold);
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }
    QString text() const { return m_text; }
    // The lines as drawn at the current width.
    QStringList lines() const {
        QStringList out;
        const QString& text = m_text;
        layOut(width(), [&](const QTextLine& line) {
            out << text.mid(line.textStart(), line.textLength()).trimmed();
        });
        return out;
    }
    QSize sizeHint() const override {
        const QFontMetricsF fm(trackedFont());
        return QSize(int(std::ceil(fm.horizontalAdvance(m_text))) + 2 * kInset,
                     int(std::ceil(fm.height())) + 2);
    }
    QSize minimumSizeHint() const override { return QSize(2 * kInset + 12, sizeHint().height()); }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        return int(std::ceil(layOut(width, nullptr))) + 2;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setPen(white(0.54));
        QTextLayout layout(m_text, trackedFont());
        layOut(width(), nullptr, &layout);
        // One line sits in the middle of the row, as a single label would.
        const qreal top = (height() - 2 - layoutHeight(layout)) / 2;
        layout.draw(&p, QPointF(kInset, std::max<qreal>(0, top)));
    }
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::FontChange)
            updateGeometry();
        QWidget::changeEvent(event);
    }

private:
    static constexpr int kInset = 12;

    QFont trackedFont() const {
        QFont f = font();
        f.setLetterSpacing(QFont::AbsoluteSpacing, 0.8);
        return f;
    }
    static qreal layoutHeight(const QTextLayout& layout) {
        const int n = layout.lineCount();
        return n == 0 ? 0 : layout.lineAt(n - 1).rect().bottom();
    }
    // Breaks the title between words (inside a word only when one alone is too wide) into lines
    // kInset from either edge; returns the height of the lines.
    qreal layOut(int width, const std::function<void(const QTextLine&)>& each,
                 QTextLayout* into = nullptr) const {
        QTextLayout own(m_text, trackedFont());
        QTextLayout& layout = into ? *into : own;
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        const qreal lineWidth = std::max(1, width - 2 * kInset);
        qreal y = 0;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(lineWidth);
            line.setPosition(QPointF(0, y));
            y += line.height();
            if (each)
                each(line);
        }
        layout.endLayout();
        return y;
    }
    QString m_text;
};

} // namespace

SidebarView::SidebarView(AppState& appState, UserDefaults& defaults, QWidget* parent)
    : QWidget(parent), m_defaults(defaults) {
    setObjectName(QStringLiteral("sidebar"));
    setFixedWidth(kWidth);
    Themed::applyScheme(this, ColorScheme::Dark);
    setAutoFillBackground(false);

    using namespace QKLayout;
    flushColumn(
        {part(makeHeader()),
         part(m_scroll = new QScrollArea(this))
             .name(QStringLiteral("sectionList"))
             .accessibleName(SidebarText::sectionListName())
             .with([](QScrollArea* scroll) {
                 scroll->setFrameShape(QFrame::NoFrame);
                 scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                 scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
                 scroll->setWidgetResizable(true);
                 scroll->viewport()->setAutoFillBackground(false);
                 scroll->setAutoFillBackground(false);
                 scroll->verticalScrollBar()->setStyleSheet(QStringLiteral(
                     "QScrollBar:vertical { background: transparent; width: 8px; margin: 2px 1px "
                     "2px 0; }"
                     "QScrollBar::handle:vertical { background: rgba(255,255,255,70); "
                     "border-radius: 3px;"
                     " min-height: 28px; }"
                     "QScrollBar::handle:vertical:hover { background: rgba(255,255,255,110); }"
                     "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                     "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: "
                     "none; }"));
             })
             .stretch(1),
         row(QMargins(10, 0, 10, 0), {part(new QKHairline(this, 1.0, white(0.14)))}),
         part(makeFooter())})
        .on(this);

    m_order = sectionOrder(m_defaults);
    rebuildRows();

    connect(&appState, &AppState::snapshotChanged, this, &SidebarView::showSnapshot);
    showSnapshot(appState.snapshot());
}

QWidget* SidebarView::makeHeader() {
    using namespace QKLayout;
    auto* header = new QWidget(this);
    row({12, 8, 12, 12}, 10,
        {part(new AppIconView(34, 0, 0.20, header)).align(Qt::AlignVCenter),
         column(0, {part(new QLabel(SidebarText::appName(), header))
                        .name(QStringLiteral("appName"))
                        .font(TextStyle::Headline, QFont::Bold)
                        .with([](QLabel* name) { setInk(name, white(1.0)); }),
                    part(new QLabel(SidebarText::tagline(), header))
                        .name(QStringLiteral("appTagline"))
                        .font(TextStyle::Caption2)
                        .with([](QLabel* tagline) { setInk(tagline, white(0.62)); })}),
         stretch(1)})
        .on(header);
    return header;
}

QWidget* SidebarView::makeFooter() {
    using namespace QKLayout;
    auto* footer = new QWidget(this);
    // The status line and the version wrap at large text sizes rather than lose their ends.
    column(
        {12, 12, 12, 12}, 4,
        {row(6, {part(m_dot = new QKStatusDot(footer))
                     .name(QStringLiteral("statusDot"))
                     .align(Qt::AlignVCenter),
                 part(m_status = new QKClampedText(3, footer))
                     .name(QStringLiteral("statusHeadline"))
                     .font(TextStyle::Caption)
                     .with([](QKClampedText* status) { setInk(status, white(0.70)); })
                     .stretch(1)}),
         row(6, {part(new QKClampedText(2, footer))
                     .with([](QKClampedText* line) {
                         line->setText(SidebarText::versionLine(AppVersion::appVersionString(),
                                                                AppVersion::appBuildString()));
                     })
                     .name(QStringLiteral("versionLine"))
                     .font(TextStyle::Caption2)
                     .with([](QKClampedText* line) { setInk(line, white(0.48)); })
                     .stretch(1)
                     .align(Qt::AlignVCenter),
                 space(4), part(new TextSizeControl(m_defaults, footer)).align(Qt::AlignVCenter)})})
        .on(footer);
    return footer;
}

void SidebarView::showEvent(QShowEvent* event) {
    reloadOrder();
    QWidget::showEvent(event);
}

void SidebarView::reloadOrder() {
    const QStringList order = sectionOrder(m_defaults);
    if (order == m_order)
        return;
    m_order = order;
    rebuildRows();
}

void SidebarView::rebuildRows() {
    // A fresh list widget replaces the old one whole, so no stale row survives a new order.
    auto* list = new QWidget;
    list->setObjectName(QStringLiteral("sectionRows"));
    list->setAutoFillBackground(false);
    using namespace QKLayout;
    Box sections = column({6, 8, 6, 8}, 14, {});

    QList<QKCapabilityGroup> groups = allCases<QKCapabilityGroup>();
    std::stable_sort(groups.begin(), groups.end(),
                     [](QKCapabilityGroup a, QKCapabilityGroup b) { return rank(a) < rank(b); });
    for (QKCapabilityGroup group : groups) {
        const QList<const QKFeature*> features = QKFeature::features(group, m_order);
        if (features.isEmpty())
            continue;
        Box section = column(4, {part(new GroupTitle(title(group), list))});
        for (const QKFeature* feature : features) {
            auto* row = new SidebarRow(feature->id, feature->title, feature->icon, list);
            row->setSelected(feature->id == m_selection);
            const QString id = feature->id;
            connect(row, &SidebarRow::clicked, this, [this, id] { emit rowClicked(id); });
            section.add(part(row));
        }
        sections.add(section);
    }
    sections.add(stretch(1));
    sections.on(list);

    QWidget* old = m_scroll->takeWidget();
    m_scroll->setWidget(list);
    list->setAutoFillBackground(false); // setWidget turns it on; the backdrop shows through
    m_list = list;
    if (old)
        old->deleteLater();
}

void SidebarView::setSelection(const QString& selection, bool animated) {
    m_selection = selection;
    for (SidebarRow* row : rows()) {
        const bool selected = row->featureId() == selection;
        row->setSelected(selected, animated);
        // The margin keeps a group's title in sight above its first row.
        if (selected && isVisible())
            m_scroll->ensureWidgetVisible(row, 0, 32);
    }
}

QList<SidebarRow*> SidebarView::rows() const {
    if (!m_list)
        return {};
    // findChildren lists children in creation order, which is the order they were laid out.
    return m_list->findChildren<SidebarRow*>(QString(), Qt::FindDirectChildrenOnly);
}

QStringList SidebarView::groupTitles() const {
    QStringList titles;
    if (!m_list)
        return titles;
    for (QWidget* w :
         m_list->findChildren<QWidget*>(QStringLiteral("groupTitle"), Qt::FindDirectChildrenOnly))
        titles.append(w->accessibleName());
    return titles;
}

QColor SidebarView::statusDotColor() const {
    return m_dot->color();
}

void SidebarView::showSnapshot(const SystemSnapshot& snapshot) {
    // The dot says what the headline beside it says: calm, under strain, or hot.
    const int level = snapshot.headlineLevel();
    m_dot->setColor(Color::system(level == 0   ? Color::SystemColor::Green
                                  : level == 1 ? Color::SystemColor::Orange
                                               : Color::SystemColor::Red,
                                  true));
    const QString headline = snapshot.headline();
    m_status->setText(headline);
    m_status->setToolTip(headline);
}
