#include "duplicates/views/DuplicatesView.h"

#include "duplicates/DuplicateFinder.h"
#include "duplicates/DuplicatesText.h"
#include "duplicates/KeepSweep.h"
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

#include <memory>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace {

std::optional<QString> systemPicker(QWidget* parent) {
    return QKPicker::shared().chooseFolder(parent, DuplicatesText::folderPickerTitle());
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

// One pane's pages and the wording of its empty state.
struct Pane {
    QKScanStatePages* pages;
    QLabel* progress;
    QKEmptyState* state;
    SymbolName idleSymbol;
    QString idleMessage;
    QString emptyTitle;
    QString emptyMessage;
};

// The page a pane shows of its finder: the progress line while copies are being moved, else the
// page of the scan's phase, with `scanning` as the line while it runs.
void showPane(const Pane& pane, const std::optional<KeepSweep::Progress>& cleaning, ScanPhase scan,
              bool nothingFound, const QString& scanning, const QString& failure) {
    if (cleaning) {
        pane.progress->setText(DuplicatesText::cleaningProgress(cleaning->done, cleaning->total));
        pane.pages->showPhase(QKScanPhase::Busy, QString());
        return;
    }
    const QKScanPhase phase = QKScanStatePages::phaseOf(scan, nothingFound);
    switch (phase) {
    case QKScanPhase::Busy:
        pane.progress->setText(scanning);
        break;
    case QKScanPhase::Failed:
        showState(pane.state, DuplicatesText::failedTitle(), "exclamationmark.triangle"_sym);
        break;
    case QKScanPhase::Idle:
        showState(pane.state, DuplicatesText::idleTitle(), pane.idleSymbol, pane.idleMessage);
        break;
    case QKScanPhase::Empty:
        showState(pane.state, pane.emptyTitle, "checkmark.circle"_sym, pane.emptyMessage);
        break;
    case QKScanPhase::Done:
        break;
    }
    pane.pages->showPhase(phase, failure);
}

// A list is on show only with rows, and every row holds controls Tab reaches, each brought into
// view as it takes the focus: a stop of the list's own would be an empty one before them. A
// click still gives it the keys that scroll it.
void rowsAreTheStops(QKLazyColumn* list) {
    list->setFocusPolicy(Qt::ClickFocus);
}

} // namespace

DuplicatesView::DuplicatesView(ScreenState& screen, DuplicateFinder& finder,
                               SimilarPhotoFinder& similar, QWidget* parent)
    : QWidget(parent), m_screen(screen), m_finder(finder), m_similarFinder(similar),
      m_picker(systemPicker) {
    setObjectName(QStringLiteral("duplicatesView"));
    setWindowTitle(DuplicatesText::windowTitle());
    setAccessibleName(DuplicatesText::windowTitle());
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
    m_modes->setAccessibleName(DuplicatesText::modesName());
    // Both panes at once: each follows its finder whichever mode is on show.
    for (int index = 0; index < allCases<DuplicatesMode>().size(); ++index)
        m_panes->paneAt(index);

    connectControls();
    followServices();

    refreshExactList();
    refreshSimilarList();
    m_panes->bind<DuplicatesMode>(
        &screen, &ScreenState::duplicateModeChanged, [this] { return m_screen.duplicateMode(); },
        [this](DuplicatesMode mode) { m_screen.setDuplicateMode(mode); });
    refreshHeader();
    refreshExact();
    refreshSimilar();
}

void DuplicatesView::connectControls() {
    connect(m_clear, &QPushButton::clicked, this, &DuplicatesView::clear);
    connect(m_cleanAll, &QPushButton::clicked, this, &DuplicatesView::requestCleanAll);
    connect(m_folder, &QPushButton::clicked, this, &DuplicatesView::pickFolder);
    connect(m_slider, &QSlider::valueChanged, this,
            [this](int value) { m_screen.setDuplicateThumbSize(double(value)); });
}

void DuplicatesView::followServices() {
    connect(&m_screen, &ScreenState::duplicateModeChanged, this, &DuplicatesView::refreshHeader);
    connect(&m_screen, &ScreenState::duplicateThumbSizeChanged, this, [this](double size) {
        if (m_slider->value() != int(std::lround(size)))
            m_slider->setValue(int(std::lround(size)));
        for (SimilarSetRow* row : m_similarList->findChildren<SimilarSetRow*>())
            row->setThumbSize(size);
    });
    connect(&m_finder, &DuplicateFinder::stateChanged, this, &DuplicatesView::refreshExact);
    connect(&m_finder, &DuplicateFinder::groupsChanged, this, [this] {
        refreshExactList();
        refreshExact();
        refreshHeader();
    });
    connect(&m_finder, &DuplicateFinder::lastFolderChanged, this, &DuplicatesView::refreshHeader);
    connect(&m_finder, &DuplicateFinder::cleaningChanged, this, [this] {
        refreshExact();
        refreshHeader();
    });
    connect(&m_finder, &DuplicateFinder::keptOneOfEach, this,
            [this](const DuplicateFinder::TrashResult& result) { setErrors(result.errors); });
    connect(&m_similarFinder, &SimilarPhotoFinder::stateChanged, this,
            &DuplicatesView::refreshSimilar);
    connect(&m_similarFinder, &SimilarPhotoFinder::groupsChanged, this, [this] {
        refreshSimilarList();
        refreshSimilar();
        refreshHeader();
    });
    connect(&m_similarFinder, &SimilarPhotoFinder::cleaningChanged, this, [this] {
        refreshSimilar();
        refreshHeader();
    });
    connect(&m_similarFinder, &SimilarPhotoFinder::keptBestOfEach, this,
            &DuplicatesView::setErrors);
}

DuplicatesView::~DuplicatesView() {
    if (m_alert)
        m_alert->deleteLater();
    if (m_sheet)
        m_sheet->deleteLater();
}

ComparisonSheet* DuplicatesView::comparisonSheet() const {
    return m_sheet;
}

QWidget* DuplicatesView::buildHeader() {
    using namespace QKLayout;
    QWidget* header = nullptr;
    part(header = new QWidget(this))
        .holding(
            row({16, 16, 16, 12}, 10,
                {
                    titles(DuplicatesText::headerTitle(), DuplicatesText::headerSubtitle(), header),
                    part(m_folderName =
                             QKBuild::label(QString(), TextStyle::Caption, QKForeground::Secondary,
                                            header, std::nullopt, false))
                        .name(QStringLiteral("folderName"))
                        .align(Qt::AlignVCenter),
                    part(m_clear = QKBuild::button(DuplicatesText::clearLabel(), false, header))
                        .name(QStringLiteral("clearButton"))
                        .align(Qt::AlignVCenter),
                    part(m_cleanAll = new QKProminentButton(QString(), header))
                        .name(QStringLiteral("cleanAllButton"))
                        .with([](QKProminentButton* b) { b->setDestructive(true); })
                        .align(Qt::AlignVCenter),
                    part(m_folder = new QKProminentButton(QString(), header))
                        .name(QStringLiteral("folderButton"))
                        .align(Qt::AlignVCenter),
                }));
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
    connect(m_exactList, &QKLazyColumn::filled, this, &DuplicatesView::revealExact);
    rowsAreTheStops(m_exactList);
    setStatePages(m_exact, m_exactProgressPage, m_exactState, m_exactList);
    return m_exact;
}

QWidget* DuplicatesView::buildSimilarPane(QWidget* parent) {
    using namespace QKLayout;
    m_similar = new QKScanStatePages(parent);
    m_similar->setObjectName(QStringLiteral("similarPane"));
    m_similarProgressPage = progressPage(m_similarProgress, m_similar);
    m_similarProgress->setObjectName(QStringLiteral("similarProgress"));
    m_similarState = new QKEmptyState(DuplicatesText::idleTitle(), "photo.on.rectangle.angled"_sym,
                                      DuplicatesText::similarIdleMessage(), m_similar);
    m_similarState->setObjectName(QStringLiteral("similarState"));

    // The thumbnail size between a small and a large photo, and the hint, over the sets.
    QWidget* content = nullptr;
    const auto photo = [&content](TextStyle size) {
        return part(new QKSymbol("photo"_sym, QKFont{.style = size}, QKForeground::Secondary,
                                 content))
            .align(Qt::AlignVCenter);
    };
    part(m_similarContent = content = new QWidget(m_similar))
        .holding(flushColumn({
            row({20, 8, 20, 8}, 8,
                {
                    photo(TextStyle::Caption),
                    part(m_slider = new QSlider(Qt::Horizontal, content))
                        .name(QStringLiteral("thumbSlider"))
                        .accessibleName(DuplicatesText::thumbnailSizeName())
                        .with([this](QSlider* slider) {
                            slider->setRange(90, 320);
                            slider->setMaximumWidth(240);
                            slider->setValue(int(std::lround(m_screen.duplicateThumbSize())));
                        })
                        .stretch(1)
                        .align(Qt::AlignVCenter),
                    photo(TextStyle::Title3),
                    stretch(1),
                    part(QKBuild::label(DuplicatesText::compareHint(), TextStyle::Caption,
                                        QKForeground::Secondary, content, std::nullopt, false))
                        .align(Qt::AlignVCenter),
                }),
            new QKHairline(content),
            part(m_similarList = new QKLazyColumn(16, content))
                .name(QStringLiteral("similarList"))
                .with(&rowsAreTheStops)
                .stretch(1),
        }));

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
    // The focus of the one pressed waits on the screen meanwhile, and then goes back to it or,
    // once "Clean all" has nothing left to clean and is gone, to the folder button.
    const bool cleaning = m_finder.cleaning() || m_similarFinder.cleaning();
    if (cleaning)
        m_hold.hold({m_cleanAll, m_clear, m_folder});
    for (QPushButton* button :
         {static_cast<QPushButton*>(m_cleanAll), m_clear, static_cast<QPushButton*>(m_folder)})
        button->setEnabled(!cleaning);
    if (!cleaning)
        m_hold.giveBack(m_folder);
}

void DuplicatesView::refreshExact() {
    const DuplicateFinder::State state = m_finder.state();
    if (m_exactFilling && !m_finder.cleaning()) {
        // The progress page stays up, as it was, until the list has made the rows of its view.
        m_exact->showPhase(QKScanPhase::Busy, QString());
        return;
    }
    showPane({m_exact, m_exactProgress, m_exactState, "doc.on.doc"_sym,
              DuplicatesText::exactIdleMessage(), DuplicatesText::exactEmptyTitle(),
              DuplicatesText::exactEmptyMessage()},
             m_finder.cleaning(), state.phase, m_finder.groups().isEmpty(),
             DuplicatesText::exactProgress(state.progress), state.failure);
}

void DuplicatesView::refreshExactList() {
    // The rows are made as they scroll into view, from the finder's list and keys (shared, not
    // copied, and the keys made with the list off this thread): thousands of groups cost nothing
    // here. The column makes rows in the keys' order, so each row finds its group from where the
    // one before it was found.
    const QList<DuplicateGroup> groups = m_finder.groups();
    auto next = std::make_shared<qsizetype>(0);
    // Thousands of groups come while the list is behind the progress page. Shown at once, it
    // would make the rows of its view in the same turn as painting them, which together held
    // the main thread for longer than a frame may; so the list, given the size its page has (it
    // was never laid out, and would make the rows of a view a line high), makes its rows behind
    // the page, a turn's share at a time, and comes up with them once a turn went by that made
    // none.
    m_exactFilling = false;
    if (!m_exactList->isVisible()) {
        const QSize size = m_exact->contentsRect().size();
        m_exactList->resize(size);
        m_exactList->viewport()->resize(size);
    }
    m_exactList->setRows(
        m_finder.groupKeys(),
        [this, groups, next](const QString& key, QWidget* parent) -> QWidget* {
            const QUuid id = QUuid::fromString(key);
            qsizetype at = -1;
            for (qsizetype n = 0; n < groups.size() && at < 0; ++n)
                if (const qsizetype i = (*next + n) % groups.size(); groups.at(i).id == id)
                    at = i;
            *next = at + 1;
            const DuplicateGroup group = groups.value(at);
            return new DuplicateGroupRow(
                group, [this, group](const QString& keep) { requestKeepChosen(group, keep); },
                parent);
        });
    m_exactFilling = !m_exactList->isVisible() && m_exactList->isFilling();
}

void DuplicatesView::revealExact() {
    if (!m_exactFilling)
        return;
    // A turn after the last rows were made, so the first paint has a turn of its own.
    QTimer::singleShot(0, this, [this] {
        if (!m_exactFilling)
            return;
        m_exactFilling = false;
        refreshExact();
    });
}

void DuplicatesView::refreshSimilar() {
    const SimilarPhotoFinder::State state = m_similarFinder.state();
    showPane({m_similar, m_similarProgress, m_similarState, "photo.on.rectangle.angled"_sym,
              DuplicatesText::similarIdleMessage(), DuplicatesText::similarEmptyTitle(),
              DuplicatesText::similarEmptyMessage()},
             m_similarFinder.cleaning(), state.phase, m_similarFinder.groups().isEmpty(),
             DuplicatesText::similarProgress(state.progress.done, state.progress.total),
             state.failure);
}

void DuplicatesView::refreshSimilarList() {
    const QStringList& keys = m_similarFinder.groupKeys();
    const QList<SimilarPhotoGroup>& sets = m_similarFinder.groups();
    QHash<QString, SimilarPhotoGroup> byKey;
    for (qsizetype i = 0; i < sets.size() && i < keys.size(); ++i)
        byKey.insert(keys.at(i), sets.at(i));
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
