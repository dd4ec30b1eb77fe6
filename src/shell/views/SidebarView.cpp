#include "shell/views/SidebarView.h"

#include "shell/AppVersion.h"
#include "shell/QKFeature.h"
#include "shell/SectionOrder.h"
#include "shell/views/AppIconView.h"
#include "shell/views/SidebarRow.h"
#include "ui-kit/Color.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKClampedText.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKStatusDot.h"
#include "ui-kit/TextSizeControl.h"
#include "ui-kit/Themed.h"
#include "vitals/AppState.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <QEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextLayout>
#include <QVBoxLayout>

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

    auto* column = QKBuild::flushColumn(this);
    column->addWidget(makeHeader());

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("sectionList"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setWidgetResizable(true);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_scroll->setAutoFillBackground(false);
    m_scroll->verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { background: transparent; width: 8px; margin: 2px 1px 2px 0; }"
        "QScrollBar::handle:vertical { background: rgba(255,255,255,70); border-radius: 3px;"
        " min-height: 28px; }"
        "QScrollBar::handle:vertical:hover { background: rgba(255,255,255,110); }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
    column->addWidget(m_scroll, 1);

    auto* rule = new QHBoxLayout;
    rule->setContentsMargins(10, 0, 10, 0);
    rule->addWidget(new QKHairline(this, 1.0, white(0.14)));
    column->addLayout(rule);
    column->addWidget(makeFooter());

    m_order = sectionOrder(m_defaults);
    rebuildRows();

    connect(&appState, &AppState::snapshotChanged, this, &SidebarView::showSnapshot);
    showSnapshot(appState.snapshot());
}

QWidget* SidebarView::makeHeader() {
    auto* header = new QWidget(this);
    auto* row = QKBuild::insetRow(header, {12, 8, 12, 12}, 10);
    row->addWidget(new AppIconView(34, 0, 0.20, header), 0, Qt::AlignVCenter);
    auto* names = new QVBoxLayout;
    names->setSpacing(0);
    auto* name = new QLabel(QStringLiteral("Pendrel"), header);
    name->setObjectName(QStringLiteral("appName"));
    QKFont::apply(name, TextStyle::Headline, QFont::Bold);
    setInk(name, white(1.0));
    auto* tagline = new QLabel(QStringLiteral("Understand your Mac"), header);
    tagline->setObjectName(QStringLiteral("appTagline"));
    QKFont::apply(tagline, TextStyle::Caption2);
    setInk(tagline, white(0.62));
    names->addWidget(name);
    names->addWidget(tagline);
    row->addLayout(names);
    row->addStretch(1);
    return header;
}

QWidget* SidebarView::makeFooter() {
    auto* footer = new QWidget(this);
    auto* column = QKBuild::insetColumn(footer, {12, 12, 12, 12}, 4);

    auto* status = new QHBoxLayout;
    status->setSpacing(6);
    m_dot = new QKStatusDot(footer);
    m_dot->setObjectName(QStringLiteral("statusDot"));
    status->addWidget(m_dot, 0, Qt::AlignVCenter);
    // The status line and the version wrap at large text sizes rather than lose their ends.
    m_status = new QKClampedText(3, footer);
    m_status->setObjectName(QStringLiteral("statusHeadline"));
    QKFont::apply(m_status, TextStyle::Caption);
    setInk(m_status, white(0.70));
    status->addWidget(m_status, 1);
    column->addLayout(status);

    auto* version = new QHBoxLayout;
    version->setSpacing(6);
    auto* versionLine = new QKClampedText(2, footer);
    versionLine->setText(QStringLiteral("Pendrel v%1 (%2)")
                             .arg(AppVersion::appVersionString(), AppVersion::appBuildString()));
    versionLine->setObjectName(QStringLiteral("versionLine"));
    QKFont::apply(versionLine, TextStyle::Caption2);
    setInk(versionLine, white(0.48));
    version->addWidget(versionLine, 1, Qt::AlignVCenter);
    version->addSpacing(4);
    version->addWidget(new TextSizeControl(m_defaults, footer), 0, Qt::AlignVCenter);
    column->addLayout(version);
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
    auto* layout = QKBuild::insetColumn(list, {6, 8, 6, 8}, 14);

    QList<QKCapabilityGroup> groups = allCases<QKCapabilityGroup>();
    std::stable_sort(groups.begin(), groups.end(),
                     [](QKCapabilityGroup a, QKCapabilityGroup b) { return rank(a) < rank(b); });
    for (QKCapabilityGroup group : groups) {
        const QList<const QKFeature*> features = QKFeature::features(group, m_order);
        if (features.isEmpty())
            continue;
        auto* section = new QVBoxLayout;
        section->setSpacing(4);
        section->addWidget(new GroupTitle(title(group), list));
        for (const QKFeature* feature : features) {
            auto* row = new SidebarRow(feature->id, feature->title, feature->icon, list);
            row->setSelected(feature->id == m_selection);
            const QString id = feature->id;
            connect(row, &SidebarRow::clicked, this, [this, id] { emit rowClicked(id); });
            section->addWidget(row);
        }
        layout->addLayout(section);
    }
    layout->addStretch(1);

    QWidget* old = m_scroll->takeWidget();
    m_scroll->setWidget(list);
    list->setAutoFillBackground(false); // setWidget turns it on; the backdrop shows through
    m_list = list;
    m_listLayout = layout;
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
