#include "developer/views/DevCategoryList.h"

#include "cleaning/CleanerPaneText.h"
#include "cleaning/CleanupScanner.h"
#include "developer/DeveloperText.h"
#include "platform/ByteFormat.h"
#include "platform/SymbolName.h"
#include "shell/ScreenState.h"
#include "ui-kit/AskTamsoStrip.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKBusyPage.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKScanStatePages.h"
#include "ui-kit/QKSpinner.h"
#include "ui-kit/TamsoExplainRow.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

using Kind = ScanPhase;

DevCategoryList::DevCategoryList(CleanupScanner& scanner, ScreenState& screen, bool modelsOnly,
                                 QWidget* parent)
    : QWidget(parent), m_scanner(scanner), m_screen(&screen), m_modelsOnly(modelsOnly) {
    setObjectName(modelsOnly ? QStringLiteral("devModelsPane") : QStringLiteral("devCleanupPane"));
    using namespace QKLayout;
    flushColumn({headerBar(),
                 AskTamsoStrip::underHeader(m_ask, CleanerPaneText::askPrompt(),
                                            DeveloperText::cleanupAskQuestion(), this),
                 measuringStrip(), part(buildBody()).stretch(1)})
        .on(this);

    connect(m_rescan, &QPushButton::clicked, this, [this] {
        if (onRescan)
            onRescan();
    });
    connect(m_clean, &QPushButton::clicked, this, [this] {
        if (onCleanRequested)
            onCleanRequested();
    });
    connect(&m_scanner, &CleanupScanner::stateChanged, this, &DevCategoryList::refresh);
    connect(&m_scanner, &CleanupScanner::categoriesChanged, this, &DevCategoryList::refresh);
    connect(&screen, &ScreenState::devSelectedChanged, this, [this] {
        syncChecks();
        updateHeader();
    });
    connect(&screen, &ScreenState::devResultChanged, this, &DevCategoryList::updateResult);

    refresh();
    updateResult();
}

// The title over what the pane is for, the last clean's result, Rescan and Clean.
QKLayout::Item DevCategoryList::headerBar() {
    using namespace QKLayout;
    auto* bar = new QWidget(this);
    return part(bar).holding(
        row({16, 16, 16, 16}, 10,
            {titles(DeveloperText::cleanupTitle(), DeveloperText::cleanupSubtitle(), bar),
             part(m_result = QKBuild::label(QString(), TextStyle::Caption, QKForeground::Green, bar,
                                            std::nullopt, false))
                 .name(QStringLiteral("devResult")),
             part(m_rescan = QKBuild::button(CleanerPaneText::rescanTitle(), false, bar))
                 .name(QStringLiteral("devRescan")),
             part(m_clean = new QKProminentButton(CleanerPaneText::cleanButtonTitle(0), bar))
                 .name(QStringLiteral("devClean"))}));
}

// The measuring strip, on a slightly darker ground above the body while the scanner measures.
QKLayout::Item DevCategoryList::measuringStrip() {
    using namespace QKLayout;
    return part(m_strip = new QWidget(this))
        .name(QStringLiteral("devMeasuringStrip"))
        .with([](QWidget* strip) {
            strip->setAutoFillBackground(true);
            QPalette pal = strip->palette();
            pal.setColor(QPalette::Window, pal.color(QPalette::Window).darker(106));
            strip->setPalette(pal);
        })
        .holding(row({14, 8, 14, 8}, 8,
                     {part(new QKSpinner(m_strip)),
                      column(2, {part(m_stripLine = QKBuild::label(QString(), TextStyle::Caption,
                                                                   QKForeground::Primary, m_strip,
                                                                   QFont::DemiBold, false)),
                                 part(m_stripDetail = QKBuild::label(
                                          QString(), TextStyle::Caption2, QKForeground::Secondary,
                                          m_strip, std::nullopt, false))}),
                      stretch(1)}));
}

// The pages under the strip, one per phase of the scan.
QKScanStatePages* DevCategoryList::buildBody() {
    m_body = new QKScanStatePages(this);
    m_preparing = new QKBusyPage(DeveloperText::preparingPage(), {.spacing = 12}, m_body);
    auto* placeholder = new QKBusyPage(DeveloperText::measuringPage(),
                                       {.tone = QKForeground::Primary, .spacing = 12}, m_body);
    m_placeholderNow = placeholder->addLine(QString(), TextStyle::Caption, QKForeground::Secondary);
    m_placeholderCount =
        placeholder->addLine(QString(), TextStyle::Caption2, QKForeground::Tertiary);
    m_placeholder = placeholder;
    m_preparing->setObjectName(QStringLiteral("devPreparing"));
    m_placeholder->setObjectName(QStringLiteral("devPlaceholder"));
    m_listPage = new QWidget(m_body);
    m_listPage->setObjectName(QStringLiteral("devList"));
    QVBoxLayout* page = nullptr;
    QKBuild::page(page, m_listPage);
    using namespace QKLayout;
    items({part(m_section = QKBuild::label(DeveloperText::foundSoFarTitle(), TextStyle::Headline,
                                           QKForeground::Secondary, nullptr, std::nullopt, false)),
           flushColumn({}).keep(m_rowsColumn)})
        .fillPage(page);
    m_nothing = new QKEmptyState(DeveloperText::nothingTitle(), "hammer"_sym,
                                 DeveloperText::nothingMessage(m_modelsOnly), m_body);
    m_failed = new QKEmptyState(CleanerPaneText::failedTitle(), "exclamationmark.triangle"_sym,
                                std::nullopt, m_body);
    m_body->setPage(QKScanPhase::Idle, m_preparing);
    m_body->setPage(QKScanPhase::Busy, m_placeholder);
    m_body->setPage(QKScanPhase::Done, m_listPage);
    m_body->setPage(QKScanPhase::Empty, m_nothing);
    m_body->setPage(QKScanPhase::Failed, m_failed);
    return m_body;
}

void DevCategoryList::setCleaning(bool cleaning) {
    m_cleaning = cleaning;
    updateHeader();
}

void DevCategoryList::refresh() {
    const CleanupScanner::State state = m_scanner.state();
    const int done = m_scanner.progressDone();
    const int total = m_scanner.progressTotal();
    const QString label = m_scanner.progressLabel();
    m_strip->setVisible(state.phase == Kind::Running);
    m_stripLine->setText(DeveloperText::measuringLine(done, total));
    m_stripDetail->setText(DeveloperText::measuringDetail(label));
    m_placeholderNow->setText(DeveloperText::placeholderNow(label));
    m_placeholderCount->setText(DeveloperText::placeholderCount(done, total));
    m_placeholderCount->setVisible(total >= 1);

    rebuildRows();
    const bool empty = m_rows.isEmpty();
    m_section->setVisible(state.phase == Kind::Running);
    QKScanPhase phase = QKScanStatePages::phaseOf(state.phase, empty);
    // Rows found so far show while the measuring goes on.
    if (phase == QKScanPhase::Busy && !empty)
        phase = QKScanPhase::Done;
    m_body->showPhase(phase, state.failure);
    updateHeader();
}

void DevCategoryList::rebuildRows() {
    const QList<CleanCategory> rows = DeveloperText::paneRows(m_scanner.categories(), m_modelsOnly);
    QStringList ids;
    for (const CleanCategory& c : rows)
        ids.append(c.id);
    // Same rows in the same order: refresh their figures in place (a click stays under the mouse).
    if (ids == m_rowIds) {
        for (qsizetype i = 0; i < rows.size(); ++i) {
            m_rows.at(i)->setSizeText(formatBytes(rows.at(i).sizeBytes));
            m_rows.at(i)->setMeta(CleanerPaneText::metaLine(rows.at(i)));
        }
        return;
    }
    // The rows' box is made anew; the old one leaves the page at once and goes once it is safe.
    if (m_rowsBox) {
        m_rowsBox->hide();
        m_rowsBox->deleteLater();
        m_rowsBox = nullptr;
    }
    m_rows.clear();
    m_rowIds = ids;
    if (rows.isEmpty())
        return;
    const QSet<QString> ticked = m_screen ? m_screen->devSelected() : QSet<QString>();
    auto* box = new QKGroupBox(QString(), 0);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const CleanCategory& c = rows.at(i);
        if (i > 0)
            QKLayout::items({QKLayout::part(new QKHairline(box->card(), 0.07))})
                .fill(box->column());
        auto* row =
            new TamsoExplainRow(c.name, formatBytes(c.sizeBytes), c.plainDescription, box->card());
        row->setObjectName(QStringLiteral("devCategoryRow"));
        row->setMeta(CleanerPaneText::metaLine(c));
        row->setSafety(c.safety);
        row->setSelected(ticked.contains(c.id));
        const QString id = c.id;
        connect(row, &TamsoExplainRow::selectedChanged, this,
                [this, id](bool on) { toggle(id, on); });
        QKLayout::items({QKLayout::part(row)}).fill(box->column());
        m_rows.append(row);
    }
    QKLayout::items({QKLayout::part(box)}).fill(m_rowsColumn);
    m_rowsBox = box;
}

void DevCategoryList::toggle(const QString& id, bool on) {
    if (!m_screen)
        return;
    QSet<QString> ids = m_screen->devSelected();
    if (on)
        ids.insert(id);
    else
        ids.remove(id);
    m_screen->setDevSelected(ids);
}

void DevCategoryList::syncChecks() {
    const QSet<QString> ticked = m_screen ? m_screen->devSelected() : QSet<QString>();
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        m_rows.at(i)->setSelected(ticked.contains(m_rowIds.at(i)));
}

void DevCategoryList::updateHeader() {
    const QSet<QString> ticked = m_screen ? m_screen->devSelected() : QSet<QString>();
    m_clean->setText(CleanerPaneText::cleanButtonTitle(
        DeveloperText::selectedBytes(m_scanner.categories(), ticked)));
    m_clean->setEnabled(CleanerPaneText::canClean(m_scanner.categories(), ticked) && !m_cleaning &&
                        !m_scanner.isScanning());
}

void DevCategoryList::updateResult() {
    const std::optional<QString> line = m_screen ? m_screen->devResult() : std::optional<QString>();
    m_result->setText(line.value_or(QString()));
    m_result->setVisible(line.has_value());
    // A clean that took nothing says why, in the colour of a problem, as the cleaners do.
    QKForeground::apply(m_result, line && CleanerPaneText::resultIsProblem(*line)
                                      ? QKForeground::Red
                                      : QKForeground::Green);
}
