#include "cleaning/views/BiggestFilesPane.h"

#include "cleaning/BiggestFilesText.h"
#include "cleaning/LargeFileFilter.h"
#include "cleaning/LargeFilesScanner.h"
#include "cleaning/views/BigFileDelegate.h"
#include "platform/SymbolName.h"
#include "shell/ScreenState.h"
#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DeleteConfirm.h"
#include "ui-kit/QKAccessible.h"
#include "ui-kit/QKAlert.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKPicker.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKReveal.h"
#include "ui-kit/QKScanningProgress.h"
#include "ui-kit/QKScanStatePages.h"
#include "ui-kit/Themed.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMessageBox>

namespace {

// The least width the title block keeps beside the controls before it goes over them.
constexpr int kTitleRoom = 240;

} // namespace

BiggestFilesPane::BiggestFilesPane(LargeFilesScanner& scanner, ScreenState& screen,
                                   FileRevealer* revealer, QWidget* parent)
    : QWidget(parent), m_scanner(scanner), m_screen(&screen), m_revealer(revealer) {
    setObjectName(QStringLiteral("biggestFilesPane"));
    m_picker = [this](QWidget* parent) {
        return QKPicker::shared().chooseFolder(parent, BiggestFilesText::chooseFolder(),
                                               m_scanner.lastFolder().value_or(QString()));
    };

    using namespace QKLayout;
    // The toolbar over one page per state of the scan.
    flushColumn({buildToolbar(), new QKHairline(this), part(buildPages()).stretch(1)}).on(this);
    for (const BiggestFilesText::SizeChoice& choice : BiggestFilesText::sizeChoices())
        m_sizes->addItem(choice.label, choice.bytes);
    m_trash->setDestructive(true);

    m_confirm = new DeleteConfirm(this, BiggestFilesText::confirmTitle(0),
                                  BiggestFilesText::confirmMessage(),
                                  BiggestFilesText::confirmVerb(), [this] { trashSelected(); });
    m_confirm->setObjectName(QStringLiteral("biggestConfirm"));

    connectControls();
    followServices();

    m_onlyOld->setChecked(screen.bigOnlyOld());
    m_filter->setOnlyOld(screen.bigOnlyOld());
    syncSizePicker();
    applySelectionToView();
    updateResult();
    updateToolbar();
    showContent();
}

void BiggestFilesPane::connectControls() {
    connect(m_choose, &QPushButton::clicked, this, &BiggestFilesPane::chooseFolder);
    connect(m_trash, &QPushButton::clicked, this, [this] { m_confirm->setPresented(true); });
    connect(m_sizes, &QComboBox::activated, this,
            [this](int i) { m_scanner.setMinSizeBytes(m_sizes->itemData(i).toLongLong()); });
    connect(m_onlyOld, &QCheckBox::toggled, this, [this](bool on) {
        if (m_screen)
            m_screen->setBigOnlyOld(on);
    });
    connect(m_delegate, &BigFileDelegate::revealRequested, this,
            [this](const QString& path, const QRect& button) {
                QKReveal::reveal(m_revealer, path, m_list->viewport(), button);
            });
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &BiggestFilesPane::takeSelectionFromView);
}

void BiggestFilesPane::followServices() {
    // The scanner.
    connect(&m_scanner, &LargeFilesScanner::stateChanged, this, &BiggestFilesPane::showContent);
    connect(&m_scanner, &LargeFilesScanner::filesChanged, this, [this] {
        showContent();
        updateToolbar();
    });
    connect(&m_scanner, &LargeFilesScanner::lastFolderChanged, this,
            &BiggestFilesPane::updateToolbar);
    connect(&m_scanner, &LargeFilesScanner::minSizeBytesChanged, this, [this] {
        syncSizePicker();
        // A new minimum rebuilds the list of the folder already shown.
        if (const std::optional<QString> folder = m_scanner.lastFolder())
            m_scanner.scan(*folder);
        else
            showContent();
    });

    // ScreenState.
    connect(m_screen, &ScreenState::bigOnlyOldChanged, this, [this](bool on) {
        m_onlyOld->setChecked(on);
        m_filter->setOnlyOld(on);
        showContent();
    });
    connect(m_screen, &ScreenState::bigSelectionChanged, this, [this] {
        applySelectionToView();
        updateToolbar();
    });
    connect(m_screen, &ScreenState::bigResultChanged, this, &BiggestFilesPane::updateResult);

    // Rows follow the text size.
    connect(&Themed::shared(), &Themed::fontScaleChanged, m_list, [this] {
        m_list->reset();
        applySelectionToView();
    });
}

QWidget* BiggestFilesPane::buildToolbar() {
    using namespace QKLayout;
    QWidget* toolbar = nullptr;
    QWidget* controls = nullptr;
    QWidget* picker = nullptr;
    // The title block, then the folder, the picker, the filter and the two actions. Where the
    // row has no room (large text, a small window) the title block goes over the controls, and
    // the controls, if they still do not fit, over each other.
    part(toolbar = new QWidget(this))
        .holding(
            row({16, 16, 16, 16}, 10,
                {
                    titles(BiggestFilesText::title(), BiggestFilesText::subtitle(), toolbar,
                           QStringLiteral("biggestTitle")),
                    part(controls = new QWidget(toolbar))
                        .name(QStringLiteral("biggestControls"))
                        .holding(
                            row({0, 0, 0, 0}, 10,
                                {
                                    part(m_folder = QKBuild::label(QString(), TextStyle::Caption,
                                                                   QKForeground::Secondary,
                                                                   controls, std::nullopt, false))
                                        .name(QStringLiteral("biggestFolder")),
                                    part(picker = new QWidget(controls))
                                        .holding(
                                            row({0, 0, 0, 0}, 6,
                                                {
                                                    part(QKBuild::label(
                                                             BiggestFilesText::sizePickerLabel(),
                                                             TextStyle::Body, QKForeground::Primary,
                                                             picker, std::nullopt, false))
                                                        .buddy(QStringLiteral("biggestMinSize")),
                                                    part(m_sizes = new QComboBox(picker))
                                                        .name(QStringLiteral("biggestMinSize"))
                                                        .stretch(1),
                                                }))
                                        .with([](QWidget* w) { w->setMinimumWidth(150); }),
                                    part(m_onlyOld = new QCheckBox(BiggestFilesText::onlyOldLabel(),
                                                                   controls))
                                        .name(QStringLiteral("biggestOnlyOld")),
                                    part(m_trash = new QKProminentButton(
                                             BiggestFilesText::trashButton(0), controls))
                                        .name(QStringLiteral("biggestTrash")),
                                    part(m_choose = new QKProminentButton(
                                             BiggestFilesText::chooseFolder(), controls))
                                        .name(QStringLiteral("biggestChoose")),
                                })
                                .stacksWhenNarrow()),
                })
                .stacksWhenNarrow(kTitleRoom));
    return toolbar;
}

QKScanStatePages* BiggestFilesPane::buildPages() {
    using namespace QKLayout;
    m_content = new QKScanStatePages(this);
    m_content->setObjectName(QStringLiteral("biggestContent"));
    m_idle = new QKEmptyState(BiggestFilesText::idleTitle(), "doc.viewfinder"_sym,
                              BiggestFilesText::idleMessage(), m_content);
    m_idle->setObjectName(QStringLiteral("biggestIdle"));
    m_scanning = new QKScanningProgress(0, m_content);
    m_scanning->setObjectName(QStringLiteral("biggestScanning"));
    m_failed = new QKEmptyState(BiggestFilesText::failedTitle(), "exclamationmark.triangle"_sym,
                                std::nullopt, m_content);
    m_failed->setObjectName(QStringLiteral("biggestFailed"));
    m_nothing = new QKEmptyState(BiggestFilesText::nothingTitle(), "checkmark.circle"_sym,
                                 std::nullopt, m_content);
    m_nothing->setObjectName(QStringLiteral("biggestNothing"));
    part(m_listPage = new QWidget(m_content))
        .name(QStringLiteral("biggestList"))
        .holding(column(
            {0, 6, 0, 0}, 4,
            {
                part(m_result = QKBuild::label(QString(), TextStyle::Caption, QKForeground::Green,
                                               m_listPage, std::nullopt, false))
                    .name(QStringLiteral("biggestResult"))
                    .with([](QLabel* l) { l->setContentsMargins(16, 0, 16, 0); }),
                part(m_list = new QListView(m_listPage))
                    .name(QStringLiteral("biggestFiles"))
                    .accessibleName(BiggestFilesText::listName())
                    .stretch(1),
            }));

    wireList();

    m_content->setPage(QKScanPhase::Idle, m_idle);
    m_content->setPage(QKScanPhase::Busy, m_scanning);
    m_content->setPage(QKScanPhase::Failed, m_failed);
    m_content->setPage(QKScanPhase::Empty, m_nothing);
    m_content->setPage(QKScanPhase::Done, m_listPage);
    return m_content;
}

void BiggestFilesPane::wireList() {
    m_filter = new LargeFileFilter(this);
    m_filter->setSourceModel(m_scanner.model());
    // The list's rows change under the view (a new list, a move to the Trash, the filter): the
    // selection changes that follow are not the user's, and the view is told the stored
    // selection again afterwards. The "about to" hooks are connected before the view takes the
    // model and the "done" hooks after, so they run before and after the selection model's own.
    const auto begin = [this] { m_modelChanging = true; };
    const auto end = [this] {
        m_modelChanging = false;
        applySelectionToView();
    };
    connect(m_filter, &QAbstractItemModel::modelAboutToBeReset, this, begin);
    connect(m_filter, &QAbstractItemModel::rowsAboutToBeRemoved, this, begin);
    connect(m_filter, &QAbstractItemModel::rowsAboutToBeInserted, this, begin);
    connect(m_filter, &QAbstractItemModel::layoutAboutToBeChanged, this, begin);
    m_list->setModel(m_filter);
    connect(m_filter, &QAbstractItemModel::modelReset, this, end);
    connect(m_filter, &QAbstractItemModel::rowsRemoved, this, end);
    connect(m_filter, &QAbstractItemModel::rowsInserted, this, end);
    connect(m_filter, &QAbstractItemModel::layoutChanged, this, end);
    m_delegate = new BigFileDelegate(m_list);
    m_delegate->setObjectName(QStringLiteral("biggestDelegate"));
    m_list->setItemDelegate(m_delegate);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setUniformItemSizes(true);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->viewport()->setAutoFillBackground(false);
    m_list->setAttribute(Qt::WA_MacShowFocusRect, false);
    QKAccessible::setRowList(m_list);
}

void BiggestFilesPane::chooseFolder() {
    if (!m_picker)
        return;
    if (const std::optional<QString> folder = m_picker(window()))
        pickFolder(*folder);
}

void BiggestFilesPane::pickFolder(const QString& folder) {
    if (m_screen)
        m_screen->setBigSelection({});
    m_scanner.scan(folder);
}

void BiggestFilesPane::trashSelected() {
    if (!m_screen)
        return;
    const QList<BigFile> chosen =
        BiggestFilesText::selectedFiles(m_scanner.files(), m_screen->bigSelection());
    const LargeFilesScanner::TrashResult result = m_scanner.trash(chosen);
    if (!m_screen)
        return;
    m_screen->setBigResult(BiggestFilesText::resultLine(result.freedBytes));
    m_screen->setBigSelection({});
    if (result.errors.isEmpty())
        return;
    QKAlert::report(m_alert, BiggestFilesText::errorsTitle(),
                    BiggestFilesText::errorsMessage(result.errors), QStringLiteral("biggestErrors"),
                    this);
}

void BiggestFilesPane::showContent() {
    const LargeFilesScanner::State state = m_scanner.state();
    const QKScanPhase phase = QKScanStatePages::phaseOf(state.phase, m_filter->rowCount() == 0);
    if (phase == QKScanPhase::Busy)
        m_scanning->setCount(state.progress);
    if (phase == QKScanPhase::Empty) {
        const bool onlyOld = m_screen && m_screen->bigOnlyOld();
        m_nothing->setMessage(
            onlyOld ? BiggestFilesText::nothingOldMessage()
                    : BiggestFilesText::nothingAboveMessage(m_scanner.minSizeBytes()));
    }
    m_content->showPhase(phase, state.failure);
}

void BiggestFilesPane::updateToolbar() {
    const std::optional<QString>& folder = m_scanner.lastFolder();
    m_folder->setVisible(folder.has_value());
    if (folder) {
        const QString name = QFileInfo(*folder).fileName();
        m_folder->setText(name.isEmpty() ? *folder : name);
    }
    m_choose->setText(folder ? BiggestFilesText::scanAnother() : BiggestFilesText::chooseFolder());
    const QSet<QUuid> selection = m_screen ? m_screen->bigSelection() : QSet<QUuid>();
    const qint64 bytes = BiggestFilesText::selectedBytes(m_scanner.files(), selection);
    m_trash->setVisible(!selection.isEmpty());
    m_trash->setText(BiggestFilesText::trashButton(bytes));
    m_confirm->setTitle(BiggestFilesText::confirmTitle(bytes));
}

void BiggestFilesPane::updateResult() {
    const std::optional<QString> line = m_screen ? m_screen->bigResult() : std::nullopt;
    m_result->setText(line.value_or(QString()));
    m_result->setVisible(line.has_value());
}

void BiggestFilesPane::syncSizePicker() {
    const int i = m_sizes->findData(m_scanner.minSizeBytes());
    m_sizes->setCurrentIndex(i);
}

void BiggestFilesPane::applySelectionToView() {
    if (!m_screen || m_modelChanging)
        return;
    const QSet<QUuid> ids = m_screen->bigSelection();
    QItemSelection selection;
    for (int row = 0; row < m_filter->rowCount(); ++row) {
        const QModelIndex index = m_filter->index(row, 0);
        if (ids.contains(index.data(LargeFileListModel::IdRole).toUuid()))
            selection.select(index, index);
    }
    m_applyingSelection = true;
    m_list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    m_applyingSelection = false;
}

void BiggestFilesPane::takeSelectionFromView() {
    if (!m_screen || m_modelChanging || m_applyingSelection)
        return;
    // Files the filter hides keep their place in the selection; the shown ones are as the view
    // has them.
    QSet<QUuid> ids = m_screen->bigSelection();
    for (int row = 0; row < m_filter->rowCount(); ++row)
        ids.remove(m_filter->index(row, 0).data(LargeFileListModel::IdRole).toUuid());
    for (const QModelIndex& index : m_list->selectionModel()->selectedIndexes())
        ids.insert(index.data(LargeFileListModel::IdRole).toUuid());
    m_screen->setBigSelection(ids);
}
