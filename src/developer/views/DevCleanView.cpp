#include "developer/views/DevCleanView.h"

#include "cleaning/CleanerPaneText.h"
#include "cleaning/CleanupScanner.h"
#include "developer/DeveloperText.h"
#include "developer/views/DevAwakePane.h"
#include "developer/views/DevCategoryList.h"
#include "platform/ByteFormat.h"
#include "platform/NotificationCenter.h"
#include "platform/SymbolName.h"
#include "shell/ScreenState.h"
#include "ui-kit/AskTamsoStrip.h"
#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DeleteConfirm.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKGridLayout.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKModeHost.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/TamsoExplainRow.h"
#include "vitals/KeepAwakeManager.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

using Kind = ScanPhase;

DevCleanView::DevCleanView(ScreenState& screen, CleanupScanner& scanner,
                           KeepAwakeManager& keepAwake, QWidget* parent)
    : QWidget(parent), m_screen(&screen), m_scanner(scanner), m_keepAwake(keepAwake) {
    setObjectName(QStringLiteral("devCleanView"));
    setWindowTitle(DeveloperText::hubTitle());
    using namespace QKLayout;
    const auto build = [this](int index, QWidget* parent) {
        return buildPane(allCases<DevPane>().value(index), parent);
    };
    flushColumn({QKModeHost::pickerStrip<DevPane>(m_picker, QStringLiteral("devPanePicker"), 480,
                                                  QMargins(16, 12, 16, 8), false, this),
                 part(m_panes = new QKModeHost(m_picker, build, QKModeHost::Panes::Kept, this))
                     .name(QStringLiteral("devPanes"))
                     .stretch(1)})
        .on(this);
    // Read as the group of the Centre's panes, not a nameless panel.
    m_picker->setAccessibleName(DeveloperText::hubTitle());
    // Every pane at once: the hub reads the lists, and the confirmation serves both lists.
    for (int index = 0; index < allCases<DevPane>().size(); ++index)
        m_panes->paneAt(index);

    m_confirm =
        new DeleteConfirm(this, DeveloperText::confirmTitle(0), DeveloperText::confirmMessage(),
                          CleanerPaneText::confirmVerb(), [this] { startClean(); });
    for (DevCategoryList* list : {m_cleanup, m_models}) {
        list->onRescan = [this] { rescan(); };
        list->onCleanRequested = [this] {
            updateConfirmTitle();
            m_confirm->setPresented(true);
        };
    }

    connect(&screen, &ScreenState::devSelectedChanged, this, &DevCleanView::updateConfirmTitle);
    connect(&m_scanner, &CleanupScanner::stateChanged, this, [this] {
        // A measurement started under an open confirmation would change what it approves.
        if (m_scanner.isScanning() && m_confirm->isPresented())
            m_confirm->setPresented(false);
        refreshHub();
    });
    connect(&m_scanner, &CleanupScanner::categoriesChanged, this, [this] {
        refreshHub();
        updateConfirmTitle();
    });
    connect(&m_keepAwake, &KeepAwakeManager::isActiveChanged, this,
            &DevCleanView::refreshKeepAwake);
    connect(&m_keepAwake, &KeepAwakeManager::statusLineChanged, this,
            &DevCleanView::refreshKeepAwake);
    NotificationCenter::defaultCenter().observe(
        Notifications::OpenDevPane, this, [this](const QString& payload) {
            if (const std::optional<DevPane> pane = DeveloperText::paneFromPayload(payload))
                openPane(*pane);
        });

    m_panes->bind<DevPane>(
        &screen, &ScreenState::devPaneChanged,
        [this] { return m_screen ? m_screen->devPane() : DevPane::Hub; },
        [this](DevPane pane) { openPane(pane); });
    refreshHub();
    refreshKeepAwake();
}

QWidget* DevCleanView::buildPane(DevPane pane, QWidget* parent) {
    switch (pane) {
    case DevPane::Hub:
        return m_hub = buildHub(parent);
    case DevPane::Cleanup:
        return m_cleanup = new DevCategoryList(m_scanner, *m_screen, false, parent);
    case DevPane::Models:
        return m_models = new DevCategoryList(m_scanner, *m_screen, true, parent);
    case DevPane::Awake:
        return m_awake = new DevAwakePane(m_keepAwake, parent);
    }
    return nullptr;
}

QWidget* DevCleanView::buildHub(QWidget* parent) {
    using namespace QKLayout;
    auto* hub = new QWidget(parent);
    hub->setObjectName(QStringLiteral("devHub"));
    QVBoxLayout* page = nullptr;
    QKBuild::page(page, hub);
    items({part(new AskTamsoStrip(DeveloperText::hubAskPrompt(), DeveloperText::hubAskQuestion(),
                                  true)),
           part(QKBuild::label(DeveloperText::hubTitle(), TextStyle::Title2, QKForeground::Primary,
                               nullptr, QFont::Bold)),
           part(QKBuild::label(DeveloperText::hubIntro(), TextStyle::Callout,
                               QKForeground::Secondary, nullptr)),
           part(m_awakeLine = new QKIconLabel(
                    "cup.and.saucer.fill"_sym, QString(),
                    QKFont{TextStyle::Callout, std::nullopt, QFont::Medium}, QKForeground::Orange))
               .name(QStringLiteral("hubAwakeLine")),
           part(m_safeLine =
                    QKBuild::label(QString(), TextStyle::Headline, QKForeground::Green, nullptr))
               .name(QStringLiteral("hubSafeLine")),
           part(buildCards()),
           part(m_largestBox = new QKGroupBox(DeveloperText::largestTitle(), 0))
               .name(QStringLiteral("hubLargest"))})
        .fillPage(page);
    return hub;
}

// The cards that open the panes and the comparison, as many to a row as the width allows.
QWidget* DevCleanView::buildCards() {
    auto* grid = new QWidget;
    grid->setObjectName(QStringLiteral("hubCards"));
    m_cardGrid = new QKGridLayout(220, 14, 14, grid);
    for (const DeveloperText::Card& card : DeveloperText::cards()) {
        const bool awake = card.pane == DevPane::Awake;
        QKProminentButton* open =
            QKBuild::addTile(m_cardGrid, card.icon, card.title, card.text, card.button, grid,
                             awake ? &m_awakeCardText : nullptr);
        // Named after the pane it opens, the comparison's "compare".
        open->setObjectName(QStringLiteral("hubOpen-") +
                            (card.pane ? rawValue(*card.pane) : QStringLiteral("compare")));
        if (awake)
            m_awakeCardButton = open;
        if (const std::optional<DevPane> pane = card.pane)
            connect(open, &QPushButton::clicked, this, [this, pane] { openPane(*pane); });
        else
            connect(open, &QPushButton::clicked, this, &DevCleanView::openCompare);
    }
    m_awakeCardText->setObjectName(QStringLiteral("hubAwakeText"));
    return grid;
}

void DevCleanView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    onAppearScan();
}

void DevCleanView::onAppearScan() {
    if (m_scanner.state().phase == Kind::Idle)
        rescan();
}

void DevCleanView::openPane(DevPane pane) {
    if (m_screen)
        m_screen->setDevPane(pane);
}

void DevCleanView::openCompare() {
    NotificationCenter::defaultCenter().post(Notifications::OpenSection, QStringLiteral("compare"));
}

void DevCleanView::rescan() {
    if (!m_screen) {
        m_scanner.scan();
        return;
    }
    m_screen->setDevResult(std::nullopt);
    const QSet<QString> remembered = m_screen->devSelected();
    m_scanner.scan();
    m_screen->setDevSelected(DeveloperText::rescanSelection(m_scanner.categories(), remembered));
}

void DevCleanView::startClean() {
    if (m_cleaning || !m_screen)
        return;
    setCleaning(true);
    const QSet<QString> ids = m_screen->devSelected();
    // The scanner and ScreenState outlive the screen: the result is written and the scanner
    // measures again even when the screen has gone meanwhile.
    const QPointer<DevCleanView> self(this);
    const QPointer<ScreenState> screen = m_screen;
    const QPointer<CleanupScanner> scanner(&m_scanner);
    m_scanner.clean(ids, [self, screen, scanner](const CleanResult& r) {
        if (self)
            self->setCleaning(false);
        if (screen) {
            screen->setDevResult(CleanerPaneText::resultLine(r));
            // Only rows graded safe stay ticked: a check-first row never stays ticked over what
            // is left of it after a clean.
            if (scanner)
                screen->setDevSelected(CleanerPaneText::selectionAfterClean(scanner->categories(),
                                                                            screen->devSelected()));
        }
        if (scanner)
            scanner->scan();
    });
}

void DevCleanView::setCleaning(bool cleaning) {
    m_cleaning = cleaning;
    m_cleanup->setCleaning(cleaning);
    m_models->setCleaning(cleaning);
}

void DevCleanView::updateConfirmTitle() {
    const QSet<QString> ticked = m_screen ? m_screen->devSelected() : QSet<QString>();
    m_confirm->setTitle(
        DeveloperText::confirmTitle(DeveloperText::selectedBytes(m_scanner.categories(), ticked)));
}

void DevCleanView::refreshKeepAwake() {
    const bool active = m_keepAwake.isActive();
    m_awakeLine->setText(m_keepAwake.statusLine());
    m_awakeLine->setVisible(active);
    m_awakeCardText->setText(DeveloperText::keepAwakeCardText(active, m_keepAwake.statusLine()));
    m_awakeCardButton->setText(DeveloperText::keepAwakeCardButton(active));
}

void DevCleanView::refreshHub() {
    const QList<CleanCategory>& table = m_scanner.categories();
    const bool done = m_scanner.state().phase == Kind::Done;
    m_safeLine->setText(DeveloperText::safeRecoveryLine(DeveloperText::safeTotal(table)));
    m_safeLine->setVisible(done);

    // Hairlines between rows go with the rows.
    while (m_largestBox->column()->count() > 0) {
        QLayoutItem* item = m_largestBox->column()->takeAt(0);
        if (QWidget* w = item->widget()) {
            w->hide();
            w->deleteLater();
        }
        delete item;
    }
    const QList<CleanCategory> rows = DeveloperText::largest(table);
    m_largestBox->setVisible(done && !rows.isEmpty());
    if (!done)
        return;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const CleanCategory& c = rows.at(i);
        if (i > 0)
            QKLayout::items({QKLayout::part(new QKHairline(m_largestBox->card(), 0.07))})
                .fill(m_largestBox->column());
        auto* row = new TamsoExplainRow(c.name, formatBytes(c.sizeBytes), c.plainDescription,
                                        m_largestBox->card());
        row->setObjectName(QStringLiteral("hubLargestRow"));
        row->setMeta(c.consequence);
        row->setSafety(c.safety);
        QKLayout::items({QKLayout::part(row)}).fill(m_largestBox->column());
    }
}
