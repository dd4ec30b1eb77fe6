#include "storage/views/OrganizerPane.h"

#include "platform/ByteFormat.h"
#include "storage/FolderOrganizer.h"
#include "storage/OrganizerPlanModel.h"
#include "storage/OrganizerText.h"
#include "storage/views/OrganizerMoveDelegate.h"
#include "ui-kit/AskTamsoStrip.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKBusyPage.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKSpinner.h"
#include "ui-kit/ToggleSwitch.h"

#include <algorithm>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>

OrganizerPane::OrganizerPane(FolderOrganizer& organizer, QWidget* parent)
    : QWidget(parent), m_organizer(&organizer) {
    setObjectName(QStringLiteral("organizerPane"));
    auto* root = QKBuild::flushColumn(this);
    root->addWidget(buildHeader());

    m_ask = AskTamsoStrip::addUnderHeader(root, OrganizerText::askPrompt(),
                                          OrganizerText::askQuestion(), this);

    QScrollArea* scroll = QKBuild::plainScroll(new QScrollArea(this));
    auto* content = new QWidget;
    auto* column = QKBuild::insetColumn(content, {16, 16, 16, 16}, 14);
    column->addWidget(buildRules(content));
    column->addWidget(buildStatus(content));
    column->addWidget(buildPreview(content));
    m_undoGroup = new QKGroupBox(OrganizerText::undoTitle(), 8, content);
    m_undoGroup->setObjectName(QStringLiteral("organizerUndo"));
    column->addWidget(m_undoGroup);
    column->addStretch(1);
    scroll->setWidget(content);
    content->setAutoFillBackground(false);
    root->addWidget(scroll, 1);

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
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(16, 16, 16, 16);
    QKBuild::addTitles(row, OrganizerText::title(), OrganizerText::subtitle(), header);
    m_preview = new QKProminentButton(OrganizerText::previewButton(), header);
    m_preview->setObjectName(QStringLiteral("organizerPreview"));
    connect(m_preview, &QPushButton::clicked, this, [this] {
        if (m_organizer)
            m_organizer->makePlan();
    });
    row->addWidget(m_preview, 0, Qt::AlignVCenter);
    return header;
}

QWidget* OrganizerPane::buildRules(QWidget* parent) {
    auto* box = new QKGroupBox(OrganizerText::rulesTitle(), 8, parent);
    box->setObjectName(QStringLiteral("organizerRules"));
    m_downloads = new ToggleSwitch(OrganizerText::downloadsToggle(), box);
    m_downloads->setObjectName(QStringLiteral("organizerDownloads"));
    connect(m_downloads, &ToggleSwitch::toggled, this, [this](bool on) {
        if (m_organizer)
            m_organizer->setIncludeDownloads(on);
    });
    box->column()->addWidget(m_downloads);
    m_desktop = new ToggleSwitch(OrganizerText::desktopToggle(), box);
    m_desktop->setObjectName(QStringLiteral("organizerDesktop"));
    connect(m_desktop, &ToggleSwitch::toggled, this, [this](bool on) {
        if (m_organizer)
            m_organizer->setIncludeDesktop(on);
    });
    box->column()->addWidget(m_desktop);

    auto* stepperRow = new QHBoxLayout;
    m_daysLabel =
        QKBuild::label(QString(), TextStyle::Body, QKForeground::Primary, box, std::nullopt, false);
    m_daysLabel->setObjectName(QStringLiteral("organizerDaysLabel"));
    stepperRow->addWidget(m_daysLabel, 1);
    m_days = new QSpinBox(box);
    m_days->setObjectName(QStringLiteral("organizerDays"));
    m_days->setRange(OrganizerText::kMinDays, OrganizerText::kMaxDays);
    m_days->setSingleStep(1);
    m_days->setAccessibleName(OrganizerText::stepperLabel(7));
    QKFont::apply(m_days, TextStyle::Body);
    connect(m_days, &QSpinBox::valueChanged, this, [this](int days) {
        if (m_organizer)
            m_organizer->setLeaveRecentDays(days);
    });
    stepperRow->addWidget(m_days);
    box->column()->addLayout(stepperRow);
    box->column()->addWidget(QKBuild::label(OrganizerText::kindsNote(), TextStyle::Caption,
                                            QKForeground::Secondary, box));
    return box;
}

QWidget* OrganizerPane::buildStatus(QWidget* parent) {
    m_status = new QWidget(parent);
    m_status->setObjectName(QStringLiteral("organizerStatus"));
    auto* row = QKBuild::insetRow(m_status, {0, 0, 0, 0}, 8);
    m_statusSpinner = new QKSpinner(m_status);
    m_statusSpinner->setObjectName(QStringLiteral("organizerStatusSpinner"));
    row->addWidget(m_statusSpinner, 0, Qt::AlignVCenter);
    m_statusText = QKBuild::label(QString(), TextStyle::Callout, QKForeground::Secondary, m_status);
    m_statusText->setObjectName(QStringLiteral("organizerStatusText"));
    row->addWidget(m_statusText, 1);
    return m_status;
}

QWidget* OrganizerPane::buildPreview(QWidget* parent) {
    m_previewGroup = new QKGroupBox(OrganizerText::previewTitle(), 8, parent);
    m_previewGroup->setObjectName(QStringLiteral("organizerPreviewGroup"));
    auto* top = new QHBoxLayout;
    m_selected = QKBuild::label(QString(), TextStyle::Body, QKForeground::Primary, m_previewGroup,
                                std::nullopt, false);
    m_selected->setObjectName(QStringLiteral("organizerSelected"));
    top->addWidget(m_selected, 1);
    m_apply = new QKProminentButton(OrganizerText::applyButton(), m_previewGroup);
    m_apply->setObjectName(QStringLiteral("organizerApply"));
    m_apply->setSmall(true);
    connect(m_apply, &QPushButton::clicked, this, [this] {
        if (m_organizer)
            m_organizer->applySelected();
    });
    top->addWidget(m_apply);
    m_previewGroup->column()->addLayout(top);

    // While a plan is being built it stands in for the rows, which are about to change.
    m_planning = new QKBusyPage(
        OrganizerText::planning(),
        {.beside = true, .top = true, .spacing = 0, .margins = QMargins(0, 6, 0, 6), .gap = 6},
        m_previewGroup);
    m_planning->setObjectName(QStringLiteral("organizerPlanning"));
    m_planning->hide();
    m_previewGroup->column()->addWidget(m_planning);

    // The list scrolls in a box of its own, at most visibleRows() tall, so the runs to undo
    // below it stay in sight however long the plan; only the rows in sight are painted.
    m_model = new OrganizerPlanModel(*m_organizer, this);
    m_list = new QListView(m_previewGroup);
    m_list->setObjectName(QStringLiteral("organizerPlanList"));
    m_list->setModel(m_model);
    auto* delegate = new OrganizerMoveDelegate(m_list);
    m_list->setItemDelegate(delegate);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_list->setFocusPolicy(Qt::StrongFocus);
    m_list->viewport()->setAutoFillBackground(false);
    m_list->setAutoFillBackground(false);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(delegate, &OrganizerMoveDelegate::toggleRequested, this, [this](const QString& id) {
        if (m_organizer)
            m_organizer->toggleMove(id);
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, &OrganizerPane::fitList);
    m_previewGroup->column()->addWidget(m_list);
    m_leftAlone =
        QKBuild::label(QString(), TextStyle::Caption, QKForeground::Tertiary, m_previewGroup);
    m_leftAlone->setObjectName(QStringLiteral("organizerLeftAlone"));
    m_previewGroup->column()->addWidget(m_leftAlone);
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

    m_preview->setEnabled(OrganizerText::previewEnabled(state));
    m_apply->setEnabled(OrganizerText::applyEnabled(state, m_organizer->plan()));
    for (QPushButton* b : std::as_const(m_undoButtons))
        b->setEnabled(OrganizerText::undoEnabled(state));
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
        auto* row = new QWidget(m_undoGroup);
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 2, 0, 2);
        layout->addWidget(
            QKBuild::label(OrganizerText::runLine(run.completed.size(), run.startedDate()),
                           TextStyle::Body, QKForeground::Primary, row, std::nullopt, false),
            1);
        QPushButton* undo = QKBuild::button(OrganizerText::undoButton(), true, row);
        undo->setObjectName(QStringLiteral("organizerUndoRun"));
        connect(undo, &QPushButton::clicked, this, [this, run] {
            if (m_organizer)
                m_organizer->undo(run);
        });
        layout->addWidget(undo, 0, Qt::AlignVCenter);
        column->addWidget(row);
        m_undoButtons.append(undo);
    }
    m_undoGroup->setVisible(!runs.isEmpty());
    refreshState();
}
