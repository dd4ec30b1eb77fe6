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
#include "ui-kit/QKModeHost.h"
#include "ui-kit/QKReveal.h"
#include "ui-kit/QKSpinner.h"
#include "ui-kit/QKStatusDot.h"
#include "ui-kit/SegmentedControl.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

void setColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

} // namespace

FoldersView::FoldersView(FolderTree& tree, ScreenState& screen, FileRevealer* revealer,
                         PaneFactory biggestPane, QWidget* parent)
    : QWidget(parent), m_tree(&tree), m_screen(&screen), m_revealer(revealer),
      m_biggestFactory(std::move(biggestPane)) {
    setObjectName(QStringLiteral("foldersView"));
    auto* root = QKBuild::flushColumn(this);
    root->addWidget(buildHeader());
    root->addWidget(new QKHairline(this));
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
    m_browse = m_body->paneAt(int(allCases<FoldersMode>().indexOf(FoldersMode::Browse)));
    root->addWidget(m_body, 1);

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
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(16, 10, 16, 10);
    QKBuild::addTitles(row, FolderBrowserText::screenTitle(), FolderBrowserText::screenSubtitle(),
                       header);
    QStringList labels;
    for (FoldersMode mode : allCases<FoldersMode>())
        labels << FolderBrowserText::modeTitle(mode);
    m_modes = new SegmentedControl(labels, header);
    m_modes->setObjectName(QStringLiteral("foldersMode"));
    m_modes->setFixedWidth(240);
    row->addWidget(m_modes, 0, Qt::AlignTop);
    return header;
}

QWidget* FoldersView::buildBrowse(QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* row = QKBuild::flushRow(page);
    m_browser = new FolderBrowserView(*m_tree, *m_screen, m_revealer, page);
    row->addWidget(m_browser, 1);
    m_divider = new DraggableDivider(m_screen->folderSidebarWidth(), minSideWidth, maxSideWidth,
                                     true, page);
    m_divider->setObjectName(QStringLiteral("foldersDivider"));
    connect(m_divider, &DraggableDivider::paneWidthChanged, this, [this](qreal width) {
        if (m_screen)
            m_screen->setFolderSidebarWidth(width);
    });
    row->addWidget(m_divider);
    m_side = buildSide(page);
    row->addWidget(m_side);
    applyWidth(m_screen->folderSidebarWidth());
    return page;
}

QWidget* FoldersView::buildSide(QWidget* parent) {
    auto* side = new QWidget(parent);
    side->setObjectName(QStringLiteral("foldersDetail"));
    auto* column = QKBuild::insetColumn(side, {16, 16, 16, 16}, 14);

    m_prompt = new QWidget(side);
    auto* prompt = QKBuild::insetColumn(m_prompt, {0, 0, 0, 0}, 6);
    prompt->addWidget(QKBuild::label(FolderBrowserText::promptTitle(), TextStyle::Subheadline,
                                     QKForeground::Primary, m_prompt, QFont::DemiBold));
    prompt->addWidget(QKBuild::label(FolderBrowserText::promptMessage(), TextStyle::Caption,
                                     QKForeground::Secondary, m_prompt));
    column->addWidget(m_prompt);

    m_detail = new QWidget(side);
    auto* detail = QKBuild::insetColumn(m_detail, {0, 0, 0, 0}, 6);
    auto* heading = new QHBoxLayout;
    heading->setSpacing(8);
    m_icon = new QLabel(m_detail);
    m_icon->setFixedSize(28, 28);
    heading->addWidget(m_icon, 0, Qt::AlignVCenter);
    m_name = new QKClampedText(2, m_detail);
    QKFont::apply(m_name, TextStyle::Subheadline, QFont::DemiBold);
    QKForeground::apply(m_name, QKForeground::Primary);
    heading->addWidget(m_name, 1, Qt::AlignVCenter);
    detail->addLayout(heading);

    m_measuring = new QWidget(m_detail);
    auto* measuring = QKBuild::insetRow(m_measuring, {0, 0, 0, 0}, 6);
    auto* spinner = new QKSpinner(m_measuring);
    QKFont::apply(spinner, TextStyle::Caption);
    measuring->addWidget(spinner);
    measuring->addWidget(QKBuild::label(FolderBrowserText::stillMeasuring(), TextStyle::Caption,
                                        QKForeground::Secondary, m_measuring));
    measuring->addStretch(1);
    detail->addWidget(m_measuring);
    m_size = QKBuild::label(QString(), TextStyle::Callout, QKForeground::Primary, m_detail);
    m_size->setObjectName(QStringLiteral("foldersDetailSize"));
    detail->addWidget(m_size);
    m_files = QKBuild::label(QString(), TextStyle::Caption, QKForeground::Secondary, m_detail);
    detail->addWidget(m_files);

    m_category = new QWidget(m_detail);
    auto* category = QKBuild::insetColumn(m_category, {0, 0, 0, 0}, 2);
    m_categoryTitle = new QLabel(m_category); // drawn in the category's own colour
    QKFont::apply(m_categoryTitle, TextStyle::Caption);
    m_categoryDescription =
        QKBuild::label(QString(), TextStyle::Caption, QKForeground::Secondary, m_category);
    category->addWidget(m_categoryTitle);
    category->addWidget(m_categoryDescription);
    detail->addWidget(m_category);

    m_modified = QKBuild::label(QString(), TextStyle::Caption, QKForeground::Secondary, m_detail);
    detail->addWidget(m_modified);
    m_cloud =
        new QKIconLabel(QStringLiteral("icloud"), FolderBrowserText::cloudNote(),
                        QKFont{.style = TextStyle::Caption}, QKForeground::Secondary, m_detail);
    detail->addWidget(m_cloud);

    auto* actions = new QBoxLayout(QBoxLayout::LeftToRight);
    m_actions = actions;
    actions->setContentsMargins(0, 2, 0, 0);
    actions->setSpacing(8);
    m_lookInside = QKBuild::button(FolderBrowserText::lookInside(), true, m_detail);
    m_lookInside->setObjectName(QStringLiteral("foldersLookInside"));
    connect(m_lookInside, &QPushButton::clicked, this, &FoldersView::lookInside);
    actions->addWidget(m_lookInside);
    m_reveal = QKBuild::button(FolderBrowserText::reveal(), true, m_detail);
    m_reveal->setObjectName(QStringLiteral("foldersReveal"));
    connect(m_reveal, &QPushButton::clicked, this, &FoldersView::revealSelection);
    actions->addWidget(m_reveal);
    actions->addStretch(1);
    side->installEventFilter(this);
    detail->addLayout(actions);
    column->addWidget(m_detail);

    column->addWidget(new QKHairline(side));

    auto* legend = new QVBoxLayout;
    legend->setSpacing(6);
    legend->addWidget(QKBuild::label(FolderBrowserText::legendTitle(), TextStyle::Subheadline,
                                     QKForeground::Primary, side, QFont::DemiBold));
    for (ContentCategory category : allCases<ContentCategory>()) {
        if (category == ContentCategory::Unknown)
            continue;
        auto* line = new QHBoxLayout;
        line->setSpacing(6);
        auto* dot = new QKStatusDot(side);
        dot->setColor(CategoryColors::color(category));
        line->addWidget(dot, 0, Qt::AlignVCenter);
        QLabel* label = QKBuild::label(title(category), TextStyle::Caption, QKForeground::Primary,
                                       side, std::nullopt, false);
        m_legend << label;
        line->addWidget(label, 1);
        legend->addLayout(line);
    }
    legend->addWidget(QKBuild::label(FolderBrowserText::legendNote(), TextStyle::Caption2,
                                     QKForeground::Tertiary, side));
    column->addLayout(legend);
    column->addStretch(1);
    column->addWidget(new QKIconLabel(QStringLiteral("eye"), FolderBrowserText::footer(),
                                      QKFont{.style = TextStyle::Caption}, QKForeground::Secondary,
                                      side));
    return side;
}

bool FoldersView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_side && event->type() == QEvent::Resize)
        fitActions();
    return QWidget::eventFilter(watched, event);
}

void FoldersView::fitActions() {
    // The buttons stay whole: side by side while both fit, else one above the other.
    const int spacing = m_actions->spacing();
    int needed = m_reveal->sizeHint().width();
    if (!m_lookInside->isHidden())
        needed += m_lookInside->sizeHint().width() + spacing;
    const QMargins margins = m_side->layout()->contentsMargins();
    const int available = m_side->width() - margins.left() - margins.right();
    const auto direction = needed > available ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight;
    if (m_actions->direction() != direction) {
        m_actions->setDirection(direction);
        m_actions->setAlignment(
            m_lookInside, direction == QBoxLayout::TopToBottom ? Qt::AlignLeft : Qt::Alignment());
        m_actions->setAlignment(m_reveal, direction == QBoxLayout::TopToBottom ? Qt::AlignLeft
                                                                               : Qt::Alignment());
    }
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

QWidget* FoldersView::currentModePage() const {
    return m_body->currentWidget();
}

QWidget* FoldersView::buildBiggest(QWidget* parent) {
    QWidget* pane = m_biggestFactory ? m_biggestFactory(parent) : new QWidget(parent);
    if (pane->objectName().isEmpty())
        pane->setObjectName(QStringLiteral("foldersBiggest"));
    m_biggest = pane;
    return pane;
}

void FoldersView::applyWidth(double width) {
    m_side->setFixedWidth(int(width));
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

QString FoldersView::detailName() const {
    return m_name->text();
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
    fitActions();
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

QStringList FoldersView::legendLabels() const {
    QStringList labels;
    for (const QLabel* label : m_legend)
        labels << label->text();
    return labels;
}
