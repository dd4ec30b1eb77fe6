#include "duplicates/views/DuplicatesView.h"

#include "duplicates/DuplicateFinder.h"
#include "duplicates/DuplicatesText.h"
#include "duplicates/SimilarPhotoFinder.h"
#include "duplicates/views/ComparisonSheet.h"
#include "duplicates/views/DuplicateGroupRow.h"
#include "duplicates/views/SimilarSetRow.h"
#include "platform/SymbolName.h"
#include "shell/ScreenState.h"
#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DeleteConfirmItem.h"
#include "ui-kit/QKAlert.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKBusyPage.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLazyColumn.h"
#include "ui-kit/QKModeHost.h"
#include "ui-kit/QKPicker.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKScanStatePages.h"
#include "ui-kit/QKSymbol.h"
#include "ui-kit/SegmentedControl.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

std::optional<QString> systemPicker(QWidget* parent) {
    return QKPicker::shared().chooseFolder(parent, QStringLiteral("Choose a folder to scan"));
}

// A large spinner over a line of body text, centred in the space it is given; `text` is the line.
QKBusyPage* progressPage(QLabel*& text, QWidget* parent) {
    auto* page = new QKBusyPage(
        QString(),
        {.indicator = QKBusyLook::Indicator::LargeSpinner, .style = TextStyle::Body, .gap = 8},
        parent);
    text = page->line();
    text->setAlignment(Qt::AlignCenter);
    return page;
}

// One empty state serves the idle, failed and found-nothing phases of a pane; a failure's
// message comes with the phase.
void setStatePages(QKScanStatePages* pages, QWidget* progress, QKEmptyState* state,
                   QWidget* results) {
    pages->setPage(QKScanPhase::Busy, progress);
    for (QKScanPhase phase : {QKScanPhase::Idle, QKScanPhase::Failed, QKScanPhase::Empty})
        pages->setPage(phase, state);
    pages->setPage(QKScanPhase::Done, results);
}

void showState(QKEmptyState* state, const QString& title, const QString& symbol,
               const std::optional<QString>& message = std::nullopt) {
    state->setTitle(title);
    state->setSystemImage(symbol);
    if (message)
        state->setMessage(*message);
}

QString groupKey(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces);
}

} // namespace

DuplicatesView::DuplicatesView(ScreenState& screen, DuplicateFinder& finder,
                               SimilarPhotoFinder& similar, QWidget* parent)
    : QWidget(parent), m_screen(screen), m_finder(finder), m_similarFinder(similar),
      m_picker(systemPicker) {
    setObjectName(QStringLiteral("duplicatesView"));
    setWindowTitle(QStringLiteral("Duplicates"));
    m_confirm = new DeleteConfirmItem(this);

    using namespace QKLayout;
    QStringList labels;
    for (DuplicatesMode mode : allCases<DuplicatesMode>())
        labels.append(DuplicatesText::title(mode));
    const auto pane = [this](int index, QWidget* parent) {
        return allCases<DuplicatesMode>().value(index) == DuplicatesMode::Exact
                   ? buildExactPane(parent)
                   : buildSimilarPane(parent);
    };
    flushColumn(
        {part(buildHeader()),
         part(QKModeHost::pickerStrip(m_modes, labels, QStringLiteral("duplicateModes"),
                                      QWIDGETSIZE_MAX, QMargins(16, 0, 16, 12), false, this)),
         part(new QKHairline(this)),
         part(m_panes = new QKModeHost(m_modes, pane, QKModeHost::Panes::Kept, this)).stretch(1)})
        .on(this);
    m_modes->setAccessibleName(QStringLiteral("Mode"));
    // Both panes at once: each follows its finder whichever mode is on show.
    for (int index = 0; index < allCases<DuplicatesMode>().size(); ++index)
        m_panes->paneAt(index);

    connect(&screen, &ScreenState::duplicateModeChanged, this, &DuplicatesView::refreshHeader);
    connect(&screen, &ScreenState::duplicateThumbSizeChanged, this, [this](double size) {
        if (m_slider->value() != int(std::lround(size)))
            m_slider->setValue(int(std::lround(size)));
        for (SimilarSetRow* row : m_similarList->findChildren<SimilarSetRow*>())
            row->setThumbSize(size);
    });
    connect(&finder, &DuplicateFinder::stateChanged, this, &DuplicatesView::refreshExact);
    connect(&finder, &DuplicateFinder::groupsChanged, this, [this] {
        refreshExactList();
        refreshExact();
        refreshHeader();
    });
    connect(&finder, &DuplicateFinder::lastFolderChanged, this, &DuplicatesView::refreshHeader);
    connect(&finder, &DuplicateFinder::cleaningChanged, this, [this] {
        refreshExact();
        refreshHeader();
    });
    connect(&finder, &DuplicateFinder::keptOneOfEach, this,
            [this](const DuplicateFinder::TrashResult& result) { setErrors(result.errors); });
    connect(&similar, &SimilarPhotoFinder::stateChanged, this, &DuplicatesView::refreshSimilar);
    connect(&similar, &SimilarPhotoFinder::groupsChanged, this, [this] {
        refreshSimilarList();
        refreshSimilar();
        refreshHeader();
    });
    connect(&similar, &SimilarPhotoFinder::cleaningChanged, this, [this] {
        refreshSimilar();
        refreshHeader();
    });
    connect(&similar, &SimilarPhotoFinder::keptBestOfEach, this, &DuplicatesView::setErrors);

    refreshExactList();
    refreshSimilarList();
    m_panes->bind<DuplicatesMode>(
        &screen, &ScreenState::duplicateModeChanged, [this] { return m_screen.duplicateMode(); },
        [this](DuplicatesMode mode) { m_screen.setDuplicateMode(mode); });
    refreshHeader();
    refreshExact();
    refreshSimilar();
}

DuplicatesView::~DuplicatesView() {
    if (m_alert)
        m_alert->deleteLater();
    if (m_sheet)
        m_sheet->deleteLater();
}

QMessageBox* DuplicatesView::failureAlert() const {
    return m_alert;
}

ComparisonSheet* DuplicatesView::comparisonSheet() const {
    return m_sheet;
}

QWidget* DuplicatesView::buildHeader() {
    auto* header = new QWidget(this);
    auto* row = QKBuild::insetRow(header, {16, 16, 16, 12}, 10);
    QKBuild::addTitles(row, DuplicatesText::headerTitle(), DuplicatesText::headerSubtitle(),
                       header);

    m_folderName = QKBuild::label(QString(), TextStyle::Caption, QKForeground::Secondary, header,
                                  std::nullopt, false);
    m_folderName->setObjectName(QStringLiteral("folderName"));
    row->addWidget(m_folderName, 0, Qt::AlignVCenter);

    m_clear = QKBuild::button(DuplicatesText::clearLabel(), false, header);
    m_clear->setObjectName(QStringLiteral("clearButton"));
    connect(m_clear, &QPushButton::clicked, this, &DuplicatesView::clear);
    row->addWidget(m_clear, 0, Qt::AlignVCenter);

    m_cleanAll = new QKProminentButton(QString(), header);
    m_cleanAll->setObjectName(QStringLiteral("cleanAllButton"));
    m_cleanAll->setDestructive(true);
    connect(m_cleanAll, &QPushButton::clicked, this, &DuplicatesView::requestCleanAll);
    row->addWidget(m_cleanAll, 0, Qt::AlignVCenter);

    m_folder = new QKProminentButton(QString(), header);
    m_folder->setObjectName(QStringLiteral("folderButton"));
    connect(m_folder, &QPushButton::clicked, this, &DuplicatesView::pickFolder);
    row->addWidget(m_folder, 0, Qt::AlignVCenter);
    return header;
}

QWidget* DuplicatesView::buildExactPane(QWidget* parent) {
    m_exact = new QKScanStatePages(parent);
    m_exact->setObjectName(QStringLiteral("exactPane"));
    m_exactProgressPage = progressPage(m_exactProgress, m_exact);
    m_exactProgress->setObjectName(QStringLiteral("exactProgress"));
    m_exactState = new QKEmptyState(DuplicatesText::idleTitle(), "doc.on.doc"_sym,
                                    DuplicatesText::exactIdleMessage(), m_exact);
    m_exactState->setObjectName(QStringLiteral("exactState"));
    m_exactList = new QKLazyColumn(0, m_exact);
    m_exactList->setObjectName(QStringLiteral("exactList"));
    setStatePages(m_exact, m_exactProgressPage, m_exactState, m_exactList);
    return m_exact;
}

QWidget* DuplicatesView::buildSimilarPane(QWidget* parent) {
    m_similar = new QKScanStatePages(parent);
    m_similar->setObjectName(QStringLiteral("similarPane"));
    m_similarProgressPage = progressPage(m_similarProgress, m_similar);
    m_similarProgress->setObjectName(QStringLiteral("similarProgress"));
    m_similarState = new QKEmptyState(DuplicatesText::idleTitle(), "photo.on.rectangle.angled"_sym,
                                      DuplicatesText::similarIdleMessage(), m_similar);
    m_similarState->setObjectName(QStringLiteral("similarState"));

    m_similarContent = new QWidget(m_similar);
    auto* column = QKBuild::flushColumn(m_similarContent);
    auto* bar = QKBuild::insetRow(nullptr, {20, 8, 20, 8}, 8);
    auto* small = new QKSymbol("photo"_sym, QKFont{.style = TextStyle::Caption},
                               QKForeground::Secondary, m_similarContent);
    bar->addWidget(small, 0, Qt::AlignVCenter);
    m_slider = new QSlider(Qt::Horizontal, m_similarContent);
    m_slider->setObjectName(QStringLiteral("thumbSlider"));
    m_slider->setAccessibleName(DuplicatesText::thumbnailSizeName());
    m_slider->setRange(90, 320);
    m_slider->setMaximumWidth(240);
    m_slider->setValue(int(std::lround(m_screen.duplicateThumbSize())));
    connect(m_slider, &QSlider::valueChanged, this,
            [this](int value) { m_screen.setDuplicateThumbSize(double(value)); });
    bar->addWidget(m_slider, 1, Qt::AlignVCenter);
    auto* large = new QKSymbol("photo"_sym, QKFont{.style = TextStyle::Title3},
                               QKForeground::Secondary, m_similarContent);
    bar->addWidget(large, 0, Qt::AlignVCenter);
    bar->addStretch(1);
    bar->addWidget(QKBuild::label(DuplicatesText::compareHint(), TextStyle::Caption,
                                  QKForeground::Secondary, m_similarContent, std::nullopt, false),
                   0, Qt::AlignVCenter);
    column->addLayout(bar);
    column->addWidget(new QKHairline(m_similarContent));
    m_similarList = new QKLazyColumn(16, m_similarContent);
    m_similarList->setObjectName(QStringLiteral("similarList"));
    column->addWidget(m_similarList, 1);

    setStatePages(m_similar, m_similarProgressPage, m_similarState, m_similarContent);
    return m_similar;
}

int DuplicatesView::currentRemovable() const {
    return m_screen.duplicateMode() == DuplicatesMode::Exact ? m_finder.removableCount()
                                                             : m_similarFinder.removableCount();
}

void DuplicatesView::refreshHeader() {
    const std::optional<QString>& folder = m_finder.lastFolder();
    m_folderName->setVisible(folder.has_value());
    m_folderName->setText(folder ? DuplicatesText::shownName(*folder) : QString());
    m_clear->setVisible(!m_finder.groups().isEmpty() || !m_similarFinder.groups().isEmpty() ||
                        folder.has_value());
    const int removable = currentRemovable();
    m_cleanAll->setVisible(removable >= 1);
    m_cleanAll->setText(DuplicatesText::cleanAllLabel(removable));
    m_folder->setText(DuplicatesText::folderButton(folder.has_value()));
    // While copies are being moved, nothing may start another scan or another clean.
    const bool cleaning = m_finder.cleaning() || m_similarFinder.cleaning();
    for (QPushButton* button :
         {static_cast<QPushButton*>(m_cleanAll), m_clear, static_cast<QPushButton*>(m_folder)})
        button->setEnabled(!cleaning);
}

void DuplicatesView::refreshExact() {
    if (const std::optional<DuplicateFinder::Cleaning>& cleaning = m_finder.cleaning()) {
        m_exactProgress->setText(DuplicatesText::cleaningProgress(cleaning->done, cleaning->total));
        m_exact->showPhase(QKScanPhase::Busy, QString());
        return;
    }
    const DuplicateFinder::State& state = m_finder.state();
    const QKScanPhase phase = QKScanStatePages::phaseOf(state.kind, m_finder.groups().isEmpty());
    switch (phase) {
    case QKScanPhase::Busy:
        m_exactProgress->setText(DuplicatesText::exactProgress(state.scanned));
        break;
    case QKScanPhase::Failed:
        showState(m_exactState, DuplicatesText::failedTitle(), "exclamationmark.triangle"_sym);
        break;
    case QKScanPhase::Idle:
        showState(m_exactState, DuplicatesText::idleTitle(), "doc.on.doc"_sym,
                  DuplicatesText::exactIdleMessage());
        break;
    case QKScanPhase::Empty:
        showState(m_exactState, DuplicatesText::exactEmptyTitle(), "checkmark.circle"_sym,
                  DuplicatesText::exactEmptyMessage());
        break;
    case QKScanPhase::Done:
        break;
    }
    m_exact->showPhase(phase, state.message);
}

void DuplicatesView::refreshExactList() {
    QStringList keys;
    QHash<QString, DuplicateGroup> byKey;
    for (const DuplicateGroup& g : m_finder.groups()) {
        keys.append(groupKey(g.id));
        byKey.insert(keys.last(), g);
    }
    m_exactList->setRows(keys, [this, byKey](const QString& key, QWidget* parent) -> QWidget* {
        const DuplicateGroup group = byKey.value(key);
        return new DuplicateGroupRow(
            group, [this, group](const QString& keep) { requestKeepChosen(group, keep); }, parent);
    });
}

void DuplicatesView::refreshSimilar() {
    if (const std::optional<SimilarPhotoFinder::Cleaning>& cleaning = m_similarFinder.cleaning()) {
        m_similarProgress->setText(
            DuplicatesText::cleaningProgress(cleaning->done, cleaning->total));
        m_similar->showPhase(QKScanPhase::Busy, QString());
        return;
    }
    const SimilarPhotoFinder::State& state = m_similarFinder.state();
    const QKScanPhase phase =
        QKScanStatePages::phaseOf(state.kind, m_similarFinder.groups().isEmpty());
    switch (phase) {
    case QKScanPhase::Busy:
        m_similarProgress->setText(DuplicatesText::similarProgress(state.done, state.total));
        break;
    case QKScanPhase::Failed:
        showState(m_similarState, DuplicatesText::failedTitle(), "exclamationmark.triangle"_sym);
        break;
    case QKScanPhase::Idle:
        showState(m_similarState, DuplicatesText::idleTitle(), "photo.on.rectangle.angled"_sym,
                  DuplicatesText::similarIdleMessage());
        break;
    case QKScanPhase::Empty:
        showState(m_similarState, DuplicatesText::similarEmptyTitle(), "checkmark.circle"_sym,
                  DuplicatesText::similarEmptyMessage());
        break;
    case QKScanPhase::Done:
        break;
    }
    m_similar->showPhase(phase, state.message);
}

void DuplicatesView::refreshSimilarList() {
    QStringList keys;
    QHash<QString, SimilarPhotoGroup> byKey;
    for (const SimilarPhotoGroup& g : m_similarFinder.groups()) {
        keys.append(groupKey(g.id));
        byKey.insert(keys.last(), g);
    }
    m_similarList->setRows(keys, [this, byKey](const QString& key, QWidget* parent) -> QWidget* {
        const SimilarPhotoGroup set = byKey.value(key);
        auto* row = new SimilarSetRow(set, m_screen.duplicateThumbSize(), parent);
        connect(row, &SimilarSetRow::photoClicked, this,
                [this, files = set.files](const QString& path) { openComparison(files, path); });
        connect(row, &SimilarSetRow::keepBestRequested, this,
                [this, set] { requestKeepBest(set); });
        return row;
    });
}

void DuplicatesView::pickFolder() {
    const std::optional<QString> folder = m_picker ? m_picker(this) : std::nullopt;
    if (!folder || folder->isEmpty())
        return;
    scanFolder(*folder);
}

void DuplicatesView::scanFolder(const QString& folder) {
    m_finder.scan(folder);
    m_similarFinder.scan(folder);
}

void DuplicatesView::clear() {
    m_finder.reset();
    m_similarFinder.reset();
    setErrors({});
}

void DuplicatesView::requestCleanAll() {
    const DuplicatesMode mode = m_screen.duplicateMode();
    const int count = currentRemovable();
    m_confirm->setPending(PendingDelete::make(
        DuplicatesText::cleanAllTitle(mode, count), DuplicatesText::cleanAllMessage(),
        DuplicatesText::confirmVerb(), [self = QPointer<DuplicatesView>(this)] {
            if (!self)
                return;
            // The mode is read again when the action runs. The moves run off this thread; the
            // finder's end signal brings the errors.
            if (self->m_screen.duplicateMode() == DuplicatesMode::Exact)
                self->m_finder.keepOneOfEach();
            else
                self->m_similarFinder.keepBestOfEach();
        }));
}

void DuplicatesView::requestKeepChosen(const DuplicateGroup& group, const QString& keep) {
    const int count = int(group.files.size()) - 1;
    m_confirm->setPending(PendingDelete::make(
        DuplicatesText::keepChosenTitle(count), DuplicatesText::keepChosenMessage(count),
        DuplicatesText::confirmVerb(), [self = QPointer<DuplicatesView>(this), group, keep] {
            if (self)
                self->setErrors(self->m_finder.trash(group, keep).errors);
        }));
}

void DuplicatesView::requestKeepBest(const SimilarPhotoGroup& set) {
    const int count = int(set.files.size()) - 1;
    m_confirm->setPending(PendingDelete::make(
        DuplicatesText::keepBestTitle(count), DuplicatesText::keepBestMessage(count),
        DuplicatesText::confirmVerb(), [self = QPointer<DuplicatesView>(this), set] {
            if (self)
                self->setErrors(self->m_similarFinder.trash(set));
        }));
}

void DuplicatesView::openComparison(const QStringList& files, const QString& clicked) {
    m_comparing = ComparePair::forClick(files, clicked);
    if (m_sheet)
        m_sheet->deleteLater();
    auto* sheet = new ComparisonSheet(*m_comparing, window());
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    m_sheet = sheet;
    const QUuid id = m_comparing->id;
    connect(sheet, &QDialog::finished, this, [this, id] {
        if (m_comparing && m_comparing->id == id)
            m_comparing.reset();
    });
    sheet->open();
}

void DuplicatesView::setErrors(const QStringList& errors) {
    m_errors = errors;
    if (m_errors.isEmpty()) {
        if (m_alert)
            m_alert->close();
        return;
    }
    const QString message = m_errors.join(QLatin1Char('\n'));
    if (m_alert) {
        QKAlert::setMessage(m_alert, message);
        return;
    }
    m_alert = QKAlert::open(DuplicatesText::failureAlertTitle(), message, this);
    m_alert->setObjectName(QStringLiteral("trashFailures"));
    connect(m_alert, &QMessageBox::finished, this, [this] { m_errors.clear(); });
}
