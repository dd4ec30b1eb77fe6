#include "storage/views/FoldersView.h"

#include "platform/ByteFormat.h"
#include "shell/ScreenState.h"
#include "storage/FolderBrowserText.h"
#include "storage/FolderTree.h"
#include "storage/views/CategoryColors.h"
#include "storage/views/FolderBrowserView.h"
#include "storage/views/FolderIcons.h"
#include "ui-kit/DraggableDivider.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKClampedText.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKModeHost.h"
#include "ui-kit/QKReveal.h"
#include "ui-kit/QKSpinner.h"
#include "ui-kit/QKStatusDot.h"
#include "ui-kit/SegmentedControl.h"

#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QStyle>

namespace {

void setColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

// The side's captions and its prompt's heading.
QLabel* sideCaption(const QString& text, QWidget* owner) {
    return QKBuild::label(text, TextStyle::Caption, QKForeground::Secondary, owner);
}
QLabel* sideHeading(const QString& text, QWidget* owner) {
    return QKBuild::label(text, TextStyle::Subheadline, QKForeground::Primary, owner,
                          QFont::DemiBold);
}

} // namespace

FoldersView::FoldersView(FolderTree& tree, ScreenState& screen, FileRevealer* revealer,
                         PaneFactory biggestPane, QWidget* parent)
    : QWidget(parent), m_tree(&tree), m_screen(&screen), m_revealer(revealer),
      m_biggestFactory(std::move(biggestPane)) {
    setObjectName(QStringLiteral("foldersView"));
    QWidget* header = buildHeader();
    auto* rule = new QKHairline(this);
    // Browsing is built at once (the detail side lives in it); the largest files only when
    // first shown.
    m_body = new QKModeHost(
        m_modes,
        [this](int index, QWidget* parent) {
            if (allCases<FoldersMode>().value(index) == FoldersMode::Browse)
                return buildBrowse(parent);
            return buildBiggest(parent);
        },
        QKModeHost::Panes::Kept, this);
    m_body->paneAt(int(allCases<FoldersMode>().indexOf(FoldersMode::Browse)));
    QKLayout::flushColumn({header, rule, QKLayout::part(m_body).stretch(1)}).on(this);

    connect(&screen, &ScreenState::folderSelectionChanged, this, &FoldersView::refreshDetail);
    connect(&screen, &ScreenState::folderSidebarWidthChanged, this, &FoldersView::applyWidth);
    connect(&tree, &FolderTree::entriesChanged, this, &FoldersView::refreshDetail);
    m_body->bind<FoldersMode>(
        &screen, &ScreenState::folderModeChanged,
        [this] { return m_screen ? m_screen->folderMode() : FoldersMode::Browse; },
        [this](FoldersMode mode) {
            if (m_screen)
                m_screen->setFolderMode(mode);
        });
    refreshDetail();
}

QWidget* FoldersView::buildHeader() {
    using namespace QKLayout;
    auto* header = new QWidget(this);
    QStringList labels;
    for (FoldersMode mode : allCases<FoldersMode>())
        labels << FolderBrowserText::modeTitle(mode);
    row({16, 10, 16, 10},
        {titles(FolderBrowserText::screenTitle(), FolderBrowserText::screenSubtitle(), header),
         part(m_modes = new SegmentedControl(labels, header))
             .name(QStringLiteral("foldersMode"))
             .accessibleName(FolderBrowserText::screenTitle())
             .with([](SegmentedControl* modes) { modes->setFixedWidth(240); })
             .align(Qt::AlignTop)})
        .on(header);
    return header;
}

QWidget* FoldersView::buildBrowse(QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("foldersBrowse"));
    m_browser = new FolderBrowserView(*m_tree, *m_screen, m_revealer, page);
    m_divider = new DraggableDivider(m_screen->folderSidebarWidth(), minSideWidth, maxSideWidth,
                                     true, page);
    m_divider->setObjectName(QStringLiteral("foldersDivider"));
    connect(m_divider, &DraggableDivider::paneWidthChanged, this, [this](qreal width) {
        if (m_screen)
            m_screen->setFolderSidebarWidth(width);
    });
    m_side = buildSide(page);
    QKLayout::flushRow({QKLayout::part(m_browser).stretch(1), m_divider, m_side}).on(page);
    applyWidth(m_screen->folderSidebarWidth());
    return page;
}

QScrollArea* FoldersView::buildSide(QWidget* parent) {
    using namespace QKLayout;
    // A column too short for the side (the largest text in the smallest window) scrolls it, so
    // its texts keep the height their width needs instead of being squeezed over each other.
    // Neither the view nor its viewport is a Tab stop: the buttons in it are. It is named for
    // what it shows, not read as the screen around it.
    auto* side = QKBuild::plainScroll(new QScrollArea(parent));
    side->setObjectName(QStringLiteral("foldersDetail"));
    side->setAccessibleName(FolderBrowserText::detailName());
    side->setFocusPolicy(Qt::NoFocus);
    side->viewport()->setFocusPolicy(Qt::NoFocus);
    m_sideContent = new QWidget(side);
    column({16, 16, 16, 16}, 14,
           {
               part(m_prompt = new QWidget(m_sideContent))
                   .name(QStringLiteral("foldersPrompt"))
                   .holding(column({0, 0, 0, 0}, 6,
                                   {sideHeading(FolderBrowserText::promptTitle(), m_prompt),
                                    sideCaption(FolderBrowserText::promptMessage(), m_prompt)})),
               entryDetail(m_sideContent),
               new QKHairline(m_sideContent),
               legend(m_sideContent),
               stretch(1),
               new QKIconLabel(QStringLiteral("eye"), FolderBrowserText::footer(),
                               QKFont{.style = TextStyle::Caption}, QKForeground::Secondary,
                               m_sideContent),
           })
        .on(m_sideContent);
    side->setWidget(m_sideContent);
    m_sideContent->setAutoFillBackground(false); // setWidget turns it on; the card shows through
    connect(m_lookInside, &QPushButton::clicked, this, &FoldersView::lookInside);
    connect(m_reveal, &QPushButton::clicked, this, &FoldersView::revealSelection);
    m_sideContent->installEventFilter(this);
    m_name->installEventFilter(this);
    return side;
}

QKLayout::Item FoldersView::entryDetail(QWidget* side) {
    using namespace QKLayout;
    QWidget* actions = nullptr;
    return part(m_detail = new QWidget(side))
        .name(QStringLiteral("foldersEntry"))
        .holding(column(
            {0, 0, 0, 0}, 6,
            {
                row(8, {part(m_icon = new QLabel(m_detail))
                            .with([](QLabel* l) { l->setFixedSize(28, 28); })
                            .align(Qt::AlignVCenter),
                        part(m_name = new QKClampedText(2, m_detail))
                            .name(QStringLiteral("foldersDetailName"))
                            .font(TextStyle::Subheadline, QFont::DemiBold)
                            .ink(QKForeground::Primary)
                            .stretch(1)
                            .align(Qt::AlignVCenter)}),
                part(m_measuring = new QWidget(m_detail))
                    .holding(row({0, 0, 0, 0}, 6,
                                 {part(new QKSpinner(m_measuring)).font(TextStyle::Caption),
                                  sideCaption(FolderBrowserText::stillMeasuring(), m_measuring),
                                  stretch(1)})),
                part(m_size = QKBuild::label(QString(), TextStyle::Callout, QKForeground::Primary,
                                             m_detail))
                    .name(QStringLiteral("foldersDetailSize")),
                part(m_files = sideCaption(QString(), m_detail))
                    .name(QStringLiteral("foldersDetailFiles")),
                part(m_category = new QWidget(m_detail))
                    .name(QStringLiteral("foldersCategory"))
                    .holding(column(
                        {0, 0, 0, 0}, 2,
                        {// Drawn in the category's own colour.
                         part(m_categoryTitle = new QLabel(m_category)).font(TextStyle::Caption),
                         m_categoryDescription = sideCaption(QString(), m_category)})),
                part(m_modified = sideCaption(QString(), m_detail))
                    .name(QStringLiteral("foldersDetailModified")),
                part(m_cloud = new QKIconLabel(
                         QStringLiteral("icloud"), FolderBrowserText::cloudNote(),
                         QKFont{.style = TextStyle::Caption}, QKForeground::Secondary, m_detail))
                    .name(QStringLiteral("foldersCloud")),
                // The buttons stay whole: side by side while both fit, else one above the other.
                part(actions = new QWidget(m_detail))
                    .with([](QWidget* w) {
                        // What the row needs is its own business (it stacks); the side's width
                        // is set by the divider and fitted to the widest button (applyWidth).
                        w->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
                    })
                    .holding(row({0, 2, 0, 0}, 8,
                                 {part(m_lookInside = QKBuild::button(
                                           FolderBrowserText::lookInside(), true, actions))
                                      .name(QStringLiteral("foldersLookInside"))
                                      .align(Qt::AlignLeft),
                                  part(m_reveal = QKBuild::button(FolderBrowserText::reveal(), true,
                                                                  actions))
                                      .name(QStringLiteral("foldersReveal"))
                                      .align(Qt::AlignLeft),
                                  stretch(1)})
                                 .stacksWhenNarrow()),
            }));
}

QKLayout::Box FoldersView::legend(QWidget* side) {
    using namespace QKLayout;
    Box legend = column(6, {QKBuild::label(FolderBrowserText::legendTitle(), TextStyle::Subheadline,
                                           QKForeground::Primary, side, QFont::DemiBold)});
    for (ContentCategory category : allCases<ContentCategory>()) {
        if (category == ContentCategory::Unknown)
            continue;
        auto* dot = new QKStatusDot(side);
        dot->setColor(CategoryColors::color(category));
        QLabel* label =
            QKBuild::label(title(category), TextStyle::Caption, QKForeground::Primary, side);
        legend.add(row(6, {part(dot).align(Qt::AlignVCenter),
                           part(label).name(QStringLiteral("foldersLegendLabel")).stretch(1)}));
    }
    legend.add(QKBuild::label(FolderBrowserText::legendNote(), TextStyle::Caption2,
                              QKForeground::Tertiary, side));
    return legend;
}

bool FoldersView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_sideContent && event->type() == QEvent::LayoutRequest && m_screen)
        applyWidth(m_screen->folderSidebarWidth()); // the text size may have changed
    else if (watched == m_name && event->type() == QEvent::Resize)
        offerWholeName();
    return QWidget::eventFilter(watched, event);
}

void FoldersView::offerWholeName() {
    // A name longer than its lines is cut with "…"; then its tooltip and its description for
    // assistive technology give it whole.
    const QStringList shown = m_name->displayedLines(m_name->width());
    const bool cut = !shown.isEmpty() && shown.constLast().endsWith(QChar(0x2026)) &&
                     !m_name->text().endsWith(QChar(0x2026));
    m_name->setToolTip(cut ? m_name->text() : QString());
    m_name->setAccessibleDescription(cut ? m_name->text() : QString());
}

void FoldersView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_tree || event->spontaneous())
        return;
    if (m_tree->entries().isEmpty() && !m_tree->isListing()) {
        m_tree->setTrail({});
        m_tree->open(m_tree->home());
    }
}

QWidget* FoldersView::buildBiggest(QWidget* parent) {
    QWidget* pane = m_biggestFactory ? m_biggestFactory(parent) : new QWidget(parent);
    if (pane->objectName().isEmpty())
        pane->setObjectName(QStringLiteral("foldersBiggest"));
    m_biggest = pane;
    return pane;
}

void FoldersView::applyWidth(double width) {
    // Never narrower than its widest button with the side's insets and a scroll bar, so neither
    // is cut when they stack (the largest text at the narrowest setting).
    const QMargins insets = m_sideContent->layout()->contentsMargins();
    const int widest = std::max(m_lookInside->sizeHint().width(), m_reveal->sizeHint().width());
    const int scrollBar = m_side->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_side);
    m_side->setFixedWidth(
        std::max(int(width), insets.left() + widest + insets.right() + scrollBar));
    if (m_divider->paneWidth() != width)
        m_divider->setPaneWidth(width);
}

std::optional<FolderEntry> FoldersView::selectedEntry() const {
    if (!m_tree || !m_screen || !m_screen->folderSelection())
        return std::nullopt;
    const int row = m_tree->model()->rowOf(*m_screen->folderSelection());
    if (row < 0)
        return std::nullopt;
    return m_tree->entries().at(row);
}

void FoldersView::refreshDetail() {
    const std::optional<FolderEntry> entry = selectedEntry();
    m_prompt->setVisible(!entry);
    m_detail->setVisible(entry.has_value());
    if (!entry)
        return;
    m_icon->setPixmap(
        FolderIcons::icon(entry->path, entry->isDirectory, entry->isPackage, palette())
            .pixmap(QSize(28, 28), devicePixelRatioF()));
    m_name->setText(entry->name);
    m_measuring->setVisible(!entry->sizeBytes);
    m_size->setVisible(entry->sizeBytes.has_value());
    m_files->setVisible(entry->sizeBytes.has_value() && entry->isDirectory);
    if (entry->sizeBytes) {
        m_size->setText(formatBytes(*entry->sizeBytes));
        m_files->setText(FolderBrowserText::filesInside(entry->fileCount));
    }
    const bool known = entry->category != ContentCategory::Unknown;
    m_category->setVisible(known);
    if (known) {
        m_categoryTitle->setText(title(entry->category));
        setColor(m_categoryTitle, CategoryColors::color(entry->category));
        m_categoryDescription->setText(description(entry->category));
    }
    m_modified->setVisible(entry->modified.has_value());
    if (entry->modified)
        m_modified->setText(
            FolderBrowserText::lastChanged(entry->modified->toLocalTime().date(), QLocale()));
    m_cloud->setVisible(entry->isCloudManaged);
    m_lookInside->setVisible(entry->isFolder());
    offerWholeName();
}

void FoldersView::lookInside() {
    const std::optional<FolderEntry> entry = selectedEntry();
    if (!entry || !m_tree)
        return;
    m_tree->enter(*entry);
    if (m_screen)
        m_screen->setFolderSelection(std::nullopt);
}

void FoldersView::revealSelection() {
    if (const std::optional<FolderEntry> entry = selectedEntry())
        QKReveal::reveal(m_revealer, entry->path, m_reveal);
}
