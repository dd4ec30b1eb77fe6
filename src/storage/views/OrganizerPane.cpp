#include "storage/views/OrganizerPane.h"

#include "platform/ByteFormat.h"
#include "storage/FolderOrganizer.h"
#include "storage/OrganizerPlanModel.h"
#include "storage/OrganizerText.h"
#include "storage/views/OrganizerMoveDelegate.h"
#include "ui-kit/AskTamsoStrip.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKBusyPage.h"
#include "ui-kit/QKFocusHold.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKSpinner.h"
#include "ui-kit/ToggleSwitch.h"

#include <algorithm>
#include <QBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QSpinBox>

OrganizerPane::OrganizerPane(FolderOrganizer& organizer, QWidget* parent)
    : QWidget(parent), m_organizer(&organizer), m_hold(this) {
    setObjectName(QStringLiteral("organizerPane"));
    // what a screen reader reads while the focus waits here for a plan, a run or an undo to end
    setAccessibleName(OrganizerText::title());
    using namespace QKLayout;
    QScrollArea* scroll = nullptr;
    flushColumn({part(buildHeader()),
                 AskTamsoStrip::underHeader(m_ask, OrganizerText::askPrompt(),
                                            OrganizerText::askQuestion(), this),
                 part(scroll = QKBuild::plainScroll(new QScrollArea(this))).stretch(1)})
        .on(this);
    auto* content = new QWidget;
    column({16, 16, 16, 16}, 14,
           {part(buildRules(content)), part(buildStatus(content)), part(buildPreview(content)),
            part(m_undoGroup = new QKGroupBox(OrganizerText::undoTitle(), 8, content))
                .name(QStringLiteral("organizerUndo")),
            stretch(1)})
        .on(content);
    scroll->setWidget(content);
    content->setAutoFillBackground(false);
    scroll->setFocusPolicy(Qt::NoFocus); // its switches, stepper and buttons are the Tab stops

    connect(&organizer, &FolderOrganizer::stateChanged, this, &OrganizerPane::refreshState);
    connect(&organizer, &FolderOrganizer::planChanged, this, &OrganizerPane::refreshPlan);
    connect(&organizer, &FolderOrganizer::historyChanged, this, &OrganizerPane::refreshHistory);
    connect(&organizer, &FolderOrganizer::settingsChanged, this, &OrganizerPane::refreshSettings);
    refreshSettings();
    refreshPlan();
    refreshHistory();
    refreshState();
}

QWidget* OrganizerPane::buildHeader() {
    using namespace QKLayout;
    auto* header = new QWidget(this);
    row({16, 16, 16, 16},
        {titles(OrganizerText::title(), OrganizerText::subtitle(), header),
         part(m_preview = new QKProminentButton(OrganizerText::previewButton(), header))
             .name(QStringLiteral("organizerPreview"))
             .align(Qt::AlignVCenter)})
        .on(header);
    connect(m_preview, &QPushButton::clicked, this, [this] {
        if (m_organizer)
            m_organizer->makePlan();
    });
    return header;
}

QWidget* OrganizerPane::buildRules(QWidget* parent) {
    using namespace QKLayout;
    auto* box = new QKGroupBox(OrganizerText::rulesTitle(), 8, parent);
    box->setObjectName(QStringLiteral("organizerRules"));
    items({part(m_downloads = new ToggleSwitch(OrganizerText::downloadsToggle(), box))
               .name(QStringLiteral("organizerDownloads")),
           part(m_desktop = new ToggleSwitch(OrganizerText::desktopToggle(), box))
               .name(QStringLiteral("organizerDesktop")),
           row({part(m_daysLabel = QKBuild::label(QString(), TextStyle::Body, QKForeground::Primary,
                                                  box, std::nullopt, false))
                    .name(QStringLiteral("organizerDaysLabel"))
                    .stretch(1),
                part(m_days = new QSpinBox(box))
                    .name(QStringLiteral("organizerDays"))
                    .with([](QSpinBox* days) {
                        days->setRange(OrganizerText::kMinDays, OrganizerText::kMaxDays);
                        days->setSingleStep(1);
                    })
                    .accessibleName(OrganizerText::stepperLabel(7))
                    .font(TextStyle::Body)}),
           part(QKBuild::label(OrganizerText::kindsNote(), TextStyle::Caption,
                               QKForeground::Secondary, box))})
        .fill(box->column());
    connect(m_downloads, &ToggleSwitch::toggled, this, [this](bool on) {
        if (m_organizer)
            m_organizer->setIncludeDownloads(on);
    });
    connect(m_desktop, &ToggleSwitch::toggled, this, [this](bool on) {
        if (m_organizer)
            m_organizer->setIncludeDesktop(on);
    });
    connect(m_days, &QSpinBox::valueChanged, this, [this](int days) {
        if (m_organizer)
            m_organizer->setLeaveRecentDays(days);
    });
    return box;
}

QWidget* OrganizerPane::buildStatus(QWidget* parent) {
    using namespace QKLayout;
    part(m_status = new QWidget(parent))
        .name(QStringLiteral("organizerStatus"))
        .holding(row({0, 0, 0, 0}, 8,
                     {part(m_statusSpinner = new QKSpinner(m_status))
                          .name(QStringLiteral("organizerStatusSpinner"))
                          .align(Qt::AlignVCenter),
                      part(m_statusText = QKBuild::label(QString(), TextStyle::Callout,
                                                         QKForeground::Secondary, m_status))
                          .name(QStringLiteral("organizerStatusText"))
                          .stretch(1)}));
    return m_status;
}

QWidget* OrganizerPane::buildPreview(QWidget* parent) {
    using namespace QKLayout;
    m_previewGroup = new QKGroupBox(OrganizerText::previewTitle(), 8, parent);
    m_previewGroup->setObjectName(QStringLiteral("organizerPreviewGroup"));
    m_model = new OrganizerPlanModel(*m_organizer, this);
    OrganizerMoveDelegate* delegate = nullptr;
    items({row({part(m_selected = QKBuild::label(QString(), TextStyle::Body, QKForeground::Primary,
                                                 m_previewGroup, std::nullopt, false))
                    .name(QStringLiteral("organizerSelected"))
                    .stretch(1),
                part(m_apply = new QKProminentButton(OrganizerText::applyButton(), m_previewGroup))
                    .name(QStringLiteral("organizerApply"))
                    .with([](QKProminentButton* apply) { apply->setSmall(true); })}),
           // While a plan is being built it stands in for the rows, which are about to change.
           part(m_planning = new QKBusyPage(OrganizerText::planning(),
                                            {.beside = true,
                                             .top = true,
                                             .spacing = 0,
                                             .margins = QMargins(0, 6, 0, 6),
                                             .gap = 6},
                                            m_previewGroup))
               .name(QStringLiteral("organizerPlanning"))
               .with([](QKBusyPage* planning) { planning->hide(); }),
           // The list scrolls in a box of its own, at most visibleRows() tall, so the runs to
           // undo below it stay in sight however long the plan; only the rows in sight are
           // painted.
           part(m_list = new QListView(m_previewGroup))
               .name(QStringLiteral("organizerPlanList"))
               .accessibleName(OrganizerText::planListName())
               .with([&](QListView* list) {
                   list->setModel(m_model);
                   list->setItemDelegate(delegate = new OrganizerMoveDelegate(list));
                   list->setUniformItemSizes(true);
                   list->setSelectionMode(QAbstractItemView::NoSelection);
                   list->setFrameShape(QFrame::NoFrame);
                   list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                   list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
                   list->setFocusPolicy(Qt::StrongFocus);
                   list->viewport()->setAutoFillBackground(false);
                   list->setAutoFillBackground(false);
                   list->setEditTriggers(QAbstractItemView::NoEditTriggers);
               }),
           part(m_leftAlone = QKBuild::label(QString(), TextStyle::Caption, QKForeground::Tertiary,
                                             m_previewGroup))
               .name(QStringLiteral("organizerLeftAlone"))})
        .fill(m_previewGroup->column());
    connect(m_apply, &QPushButton::clicked, this, [this] {
        if (m_organizer)
            m_organizer->applySelected();
    });
    connect(delegate, &OrganizerMoveDelegate::toggleRequested, this, [this](const QString& id) {
        if (m_organizer)
            m_organizer->toggleMove(id);
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, &OrganizerPane::fitList);
    return m_previewGroup;
}

void OrganizerPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous() && m_organizer)
        m_organizer->loadHistory();
}

void OrganizerPane::refreshSettings() {
    if (!m_organizer)
        return;
    const QSignalBlocker b1(m_downloads), b2(m_desktop), b3(m_days);
    m_downloads->setChecked(m_organizer->includeDownloads());
    m_desktop->setChecked(m_organizer->includeDesktop());
    m_days->setValue(m_organizer->leaveRecentDays());
    m_daysLabel->setText(OrganizerText::stepperLabel(m_organizer->leaveRecentDays()));
    m_days->setAccessibleName(m_daysLabel->text());
}

void OrganizerPane::refreshState() {
    if (!m_organizer)
        return;
    const FolderOrganizer::State state = m_organizer->state();
    const OrganizerText::Status status = OrganizerText::status(state, m_organizer->plan());
    using Look = OrganizerText::Status::Look;
    m_status->setHidden(status.look == Look::None);
    m_statusSpinner->setHidden(status.look != Look::Progress);
    m_statusText->setText(status.text);
    QKForeground::Style tone = QKForeground::Secondary;
    if (status.look == Look::Green)
        tone = QKForeground::Green;
    else if (status.look == Look::Orange)
        tone = QKForeground::Orange;
    QKForeground::apply(m_statusText, tone);

    // The preview box shows while a plan is being built, saying so in place of its rows.
    const bool planning = state.kind == FolderOrganizer::State::Kind::Planning;
    const std::optional<OrganizerPlan>& plan = m_organizer->plan();
    m_previewGroup->setVisible(plan.has_value() || planning);
    m_planning->setVisible(planning);
    m_list->setVisible(!planning);
    m_selected->setVisible(!planning);
    m_apply->setVisible(!planning);
    m_leftAlone->setVisible(!planning && plan && !plan->skipped.isEmpty());

    // Every button here goes off while the work one of them started runs; the focus waits on
    // the pane meanwhile and then returns to the button, or, when that stays off (a spent plan's
    // Apply) or went with the rows it stood in (an undone run), to "Preview plan", the one button
    // that is always on again.
    const bool idle = OrganizerText::previewEnabled(state);
    if (!idle) {
        QList<QWidget*> buttons{m_preview, m_apply};
        for (QPushButton* b : std::as_const(m_undoButtons))
            buttons.append(b);
        m_hold.hold(buttons);
    }
    m_preview->setEnabled(idle);
    m_apply->setEnabled(OrganizerText::applyEnabled(state, m_organizer->plan()));
    for (QPushButton* b : std::as_const(m_undoButtons))
        b->setEnabled(OrganizerText::undoEnabled(state));
    if (idle)
        m_hold.giveBack(m_preview);
}

void OrganizerPane::refreshPlan() {
    if (!m_organizer)
        return;
    const std::optional<OrganizerPlan>& plan = m_organizer->plan();
    if (plan) {
        m_selected->setText(OrganizerText::selectedCount(plan->selectedCount()));
        m_leftAlone->setText(OrganizerText::leftAlone(plan->skipped.size()));
    }
    refreshState();
}

QRect OrganizerPane::rowToggleRect(const QString& id) const {
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row);
        if (index.data(OrganizerPlanModel::IdRole).toString() == id)
            return OrganizerMoveDelegate::toggleRect(m_list->visualRect(index));
    }
    return {};
}

int OrganizerPane::visibleRows() {
    return std::clamp(300 / std::max(1, OrganizerMoveDelegate::rowHeight()), 3, 8);
}

void OrganizerPane::fitList() {
    m_list->setFixedHeight(std::min(m_model->rowCount(), visibleRows()) *
                           OrganizerMoveDelegate::rowHeight());
    m_list->doItemsLayout();
}

void OrganizerPane::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // A new text size changes every row's height.
    if (event->type() == QEvent::FontChange && m_list)
        fitList();
}

void OrganizerPane::refreshHistory() {
    if (!m_organizer)
        return;
    QVBoxLayout* column = m_undoGroup->column();
    while (QLayoutItem* item = column->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_undoButtons.clear();
    const QList<OrganizerJournal> runs = OrganizerText::undoableRuns(m_organizer->history());
    for (const OrganizerJournal& run : runs) {
        using namespace QKLayout;
        auto* line = new QWidget(m_undoGroup);
        QPushButton* undo = nullptr;
        items({part(line).holding(
                  row(QMargins(0, 2, 0, 2),
                      {part(QKBuild::label(
                                OrganizerText::runLine(run.completed.size(), run.startedDate()),
                                TextStyle::Body, QKForeground::Primary, line, std::nullopt, false))
                           .stretch(1),
                       part(undo = QKBuild::button(OrganizerText::undoButton(), true, line))
                           .name(QStringLiteral("organizerUndoRun"))
                           .align(Qt::AlignVCenter)}))})
            .fill(column);
        connect(undo, &QPushButton::clicked, this, [this, run] {
            if (m_organizer)
                m_organizer->undo(run);
        });
        m_undoButtons.append(undo);
    }
    m_undoGroup->setVisible(!runs.isEmpty());
    refreshState();
}
