#include "cleaning/views/CleanerPane.h"

#include "cleaning/CleanupScanner.h"
#include "platform/ByteFormat.h"
#include "platform/SymbolName.h"
#include "shell/ScreenState.h"
#include "ui-kit/AskTamsoStrip.h"
#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DeleteConfirm.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKBusyPage.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKReveal.h"
#include "ui-kit/QKScanStatePages.h"
#include "ui-kit/TamsoExplainRow.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CleanerPane::CleanerPane(CleanupScanner& scanner, ScreenState& screen, CleanerStateFields fields,
                         CleanerPaneText::Texts texts, FileRevealer* revealer, QWidget* parent)
    : QWidget(parent), m_scanner(scanner), m_screen(&screen), m_fields(fields),
      m_texts(std::move(texts)), m_revealer(revealer) {
    setObjectName(QStringLiteral("cleanerPane"));
    setAccessibleName(m_texts.title);
    using namespace QKLayout;
    QWidget* header = nullptr;
    // Header: title block, then the result line and the two actions; the ask strip; then one
    // page per state of the scanner.
    flushColumn(
        {
            part(header = new QWidget(this))
                .holding(row(
                    {16, 16, 16, 16}, 10,
                    {
                        titles(m_texts.title, m_texts.subtitle, header,
                               QStringLiteral("cleanerTitle"), QStringLiteral("cleanerSubtitle")),
                        part(m_result =
                                 QKBuild::label(QString(), TextStyle::Caption, QKForeground::Green,
                                                header, std::nullopt, false))
                            .name(QStringLiteral("cleanerResult")),
                        part(m_rescan =
                                 QKBuild::button(CleanerPaneText::rescanTitle(), false, header))
                            .name(QStringLiteral("cleanerRescan")),
                        part(m_clean = new QKProminentButton(CleanerPaneText::cleanButtonTitle(0),
                                                             header))
                            .name(QStringLiteral("cleanerClean")),
                    })),
            AskTamsoStrip::underHeader(m_ask, CleanerPaneText::askPrompt(), m_texts.askQuestion,
                                       this),
            part(buildPages()).stretch(1),
        })
        .on(this);

    m_confirm = new DeleteConfirm(this, CleanerPaneText::confirmTitle(0), m_texts.confirmMessage,
                                  CleanerPaneText::confirmVerb(), [this] { cleanNow(); });
    m_confirm->setObjectName(QStringLiteral("cleanerConfirm"));

    connect(m_rescan, &QPushButton::clicked, this, &CleanerPane::rescan);
    connect(m_clean, &QPushButton::clicked, this, [this] { m_confirm->setPresented(true); });
    connect(&m_scanner, &CleanupScanner::stateChanged, this, &CleanerPane::onStateChanged);
    connect(&m_scanner, &CleanupScanner::categoriesChanged, this, [this] {
        if (m_scanner.state().phase == ScanPhase::Done)
            rebuildList();
        updateHeader();
    });
    connect(&screen, m_fields.selectedChanged, this, [this] {
        syncChecks();
        updateHeader();
    });
    connect(&screen, m_fields.resultChanged, this, &CleanerPane::updateResult);

    rebuildList();
    showBody();
    updateHeader();
    updateResult();
}

QSet<QString> CleanerPane::selected() const {
    return m_screen ? (m_screen->*m_fields.selected)() : QSet<QString>();
}

void CleanerPane::setSelected(const QSet<QString>& ids) {
    if (m_screen)
        (m_screen->*m_fields.setSelected)(ids);
}

qint64 CleanerPane::selectedBytes() const {
    return CleanerPaneText::selectedBytes(m_scanner.categories(), selected());
}

void CleanerPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    appear();
}

void CleanerPane::appear() {
    if (m_scanner.state().phase == ScanPhase::Idle)
        rescan();
}

void CleanerPane::rescan() {
    if (m_screen)
        (m_screen->*m_fields.setResult)(std::nullopt);
    // scan() puts the (possibly rebuilt) table in place at once, so the ticks come from it.
    m_scanner.scan();
    setSelected(CleanerPaneText::preselection(m_scanner.categories()));
}

void CleanerPane::cleanNow() {
    setCleaning(true);
    const QSet<QString> ids = CleanerPaneText::withoutRefused(m_scanner.categories(), selected());
    // The scanner outlives every pane; the result is written even when this pane has been
    // closed meanwhile, always from the event loop, never inside this call.
    const QPointer<CleanerPane> self(this);
    const QPointer<ScreenState> screen = m_screen;
    const CleanerStateFields fields = m_fields;
    CleanupScanner* scanner = &m_scanner;
    const QPointer<CleanupScanner> guard(scanner);
    m_scanner.clean(ids, [self, screen, fields, guard](const CleanResult& r) {
        if (self)
            self->setCleaning(false);
        if (screen) {
            (screen->*fields.setResult)(CleanerPaneText::resultLine(r));
            (screen->*fields.setSelected)(CleanerPaneText::selectionAfterClean(
                guard ? guard->categories() : QList<CleanCategory>(),
                (screen->*fields.selected)()));
        }
        if (guard)
            guard->scan();
    });
}

void CleanerPane::setCleaning(bool cleaning) {
    if (cleaning == m_cleaning)
        return;
    m_cleaning = cleaning;
    updateHeader();
}

void CleanerPane::onStateChanged() {
    // A measurement started under an open confirmation would change what it approves.
    if (m_scanner.isScanning() && m_confirm->isPresented())
        m_confirm->setPresented(false);
    if (m_scanner.state().phase == ScanPhase::Done) {
        // A refused row can never be cleaned, so it does not stay ticked.
        const QSet<QString> ticked = selected();
        const QSet<QString> cleanable =
            CleanerPaneText::withoutRefused(m_scanner.categories(), ticked);
        if (cleanable != ticked)
            setSelected(cleanable);
        rebuildList();
    }
    showBody();
    updateHeader();
}

QKScanStatePages* CleanerPane::buildPages() {
    m_body = new QKScanStatePages(this);
    m_body->setObjectName(QStringLiteral("cleanerBody"));
    m_ready = new QKEmptyState(CleanerPaneText::readyTitle(), "internaldrive"_sym,
                               m_texts.readyDescription, m_body);
    m_ready->setObjectName(QStringLiteral("cleanerReady"));
    auto* measuring = new QKBusyPage(
        m_texts.measuringLabel,
        {.indicator = QKBusyLook::Indicator::LargeSpinner, .style = TextStyle::Body, .spacing = 8},
        m_body);
    measuring->setObjectName(QStringLiteral("cleanerMeasuring"));
    measuring->line()->setObjectName(QStringLiteral("cleanerMeasuringLabel"));
    m_measuring = measuring;
    m_failed = new QKEmptyState(CleanerPaneText::failedTitle(), "exclamationmark.triangle"_sym,
                                std::nullopt, m_body);
    m_failed->setObjectName(QStringLiteral("cleanerFailed"));
    m_nothing = new QKEmptyState(CleanerPaneText::nothingTitle(), "checkmark.circle"_sym,
                                 CleanerPaneText::nothingMessage(), m_body);
    m_nothing->setObjectName(QStringLiteral("cleanerNothing"));
    m_listPage = new QWidget(m_body);
    m_listPage->setObjectName(QStringLiteral("cleanerList"));
    QKBuild::page(m_listColumn, m_listPage);
    m_body->setPage(QKScanPhase::Idle, m_ready);
    m_body->setPage(QKScanPhase::Busy, m_measuring);
    m_body->setPage(QKScanPhase::Failed, m_failed);
    m_body->setPage(QKScanPhase::Empty, m_nothing);
    m_body->setPage(QKScanPhase::Done, m_listPage);
    return m_body;
}

void CleanerPane::showBody() {
    const CleanupScanner::State state = m_scanner.state();
    m_body->showPhase(
        QKScanStatePages::phaseOf(state.phase, !CleanerPaneText::showsList(m_scanner.categories())),
        state.failure);
}

void CleanerPane::rebuildList() {
    // Rows go once control has left them: a rebuild can follow a tick made in one of them. They
    // leave the pane at once, so that only the rows on show are found in it.
    while (m_listColumn->count() > 1) {
        QLayoutItem* item = m_listColumn->takeAt(0);
        if (QWidget* w = item->widget()) {
            w->hide();
            w->setParent(nullptr);
            w->deleteLater();
        }
        delete item;
    }
    m_cleanableRows.clear();
    m_cleanableIds.clear();

    const QList<CleanCategory>& table = m_scanner.categories();
    const QSet<QString> ticked = selected();
    const auto makeRow = [](const CleanCategory& c, QWidget* parent) {
        auto* row =
            new TamsoExplainRow(c.name, formatBytes(c.sizeBytes), c.plainDescription, parent);
        row->setMeta(CleanerPaneText::metaLine(c));
        return row;
    };
    const auto addSection = [this](const QString& title, const QList<QWidget*>& rows) {
        auto* box = new QKGroupBox(title, 0);
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (i > 0)
                QKLayout::items({QKLayout::part(new QKHairline(box->card(), 0.07))})
                    .fill(box->column());
            rows.at(i)->setParent(box->card());
            QKLayout::items({QKLayout::part(rows.at(i))}).fill(box->column());
        }
        QKLayout::items({QKLayout::part(box)}).fillPage(m_listColumn);
    };

    QList<QWidget*> cleanable;
    for (const CleanCategory& c : CleanerPaneText::measuredItems(table)) {
        TamsoExplainRow* row = makeRow(c, nullptr);
        row->setSafety(c.safety);
        const QString id = c.id;
        row->setObjectName(QStringLiteral("cleanerRow"));
        m_cleanableRows.append(row);
        m_cleanableIds.append(id);
        cleanable.append(row);
        if (c.refusal) {
            // Shown with its reason, never tickable.
            row->setLocked(true);
            continue;
        }
        row->setSelected(ticked.contains(c.id));
        QLabel* files = QKBuild::label(CleanerPaneText::filesText(c.fileCount), TextStyle::Caption,
                                       QKForeground::Secondary, nullptr, std::nullopt, false);
        files->setAlignment(Qt::AlignRight);
        row->setTrailing(files);
        connect(row, &TamsoExplainRow::selectedChanged, this,
                [this, id](bool on) { toggle(id, on); });
    }
    if (!cleanable.isEmpty())
        addSection(CleanerPaneText::safeSection(), cleanable);

    QList<QWidget*> kept;
    for (const CleanCategory& c : CleanerPaneText::measureOnlyRows(table)) {
        TamsoExplainRow* row = makeRow(c, nullptr);
        row->setSafety(TamsoSafety::Keep);
        row->setLocked(true);
        QPushButton* reveal = QKBuild::button(CleanerPaneText::revealTitle(), true, nullptr);
        reveal->setObjectName(QStringLiteral("cleanerReveal"));
        const QStringList locations = c.locations;
        connect(reveal, &QPushButton::clicked, this, [this, reveal, locations] {
            if (!locations.isEmpty())
                QKReveal::reveal(m_revealer, locations.first(), reveal);
        });
        row->setTrailing(reveal);
        row->setObjectName(QStringLiteral("cleanerKeptRow"));
        kept.append(row);
    }
    if (!kept.isEmpty())
        addSection(CleanerPaneText::keptSection(), kept);
}

void CleanerPane::toggle(const QString& id, bool on) {
    QSet<QString> ids = selected();
    if (on)
        ids.insert(id);
    else
        ids.remove(id);
    setSelected(ids);
}

void CleanerPane::syncChecks() {
    const QSet<QString> ticked = selected();
    for (qsizetype i = 0; i < m_cleanableRows.size(); ++i)
        m_cleanableRows.at(i)->setSelected(ticked.contains(m_cleanableIds.at(i)));
}

void CleanerPane::updateHeader() {
    const qint64 bytes = selectedBytes();
    m_clean->setText(CleanerPaneText::cleanButtonTitle(bytes));
    const bool working = m_cleaning || m_scanner.isScanning();
    const bool cleanOn = CleanerPaneText::canClean(m_scanner.categories(), selected()) && !working;
    QList<QWidget*> goingOff;
    if (!cleanOn)
        goingOff << m_clean;
    if (m_cleaning)
        goingOff << m_rescan;
    m_hold.hold(goingOff);
    m_clean->setEnabled(cleanOn);
    m_rescan->setEnabled(!m_cleaning);
    // Once the clean and the measurement after it are done the focus goes back; to "Rescan"
    // when nothing is left to clean.
    if (!working)
        m_hold.giveBack(m_rescan);
    m_confirm->setTitle(CleanerPaneText::confirmTitle(bytes));
}

void CleanerPane::updateResult() {
    const std::optional<QString> line =
        m_screen ? (m_screen->*m_fields.result)() : std::optional<QString>();
    m_result->setText(line.value_or(QString()));
    m_result->setVisible(line.has_value());
    QKForeground::apply(m_result, line && CleanerPaneText::resultIsProblem(*line)
                                      ? QKForeground::Red
                                      : QKForeground::Green);
}
