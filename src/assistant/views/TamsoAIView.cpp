#include "assistant/views/TamsoAIView.h"

#include "assistant/SpotlightSearch.h"
#include "assistant/TamsoAIText.h"
#include "assistant/TamsoAssistant.h"
#include "assistant/TamsoMessageListModel.h"
#include "assistant/views/ChatMessageDelegate.h"
#include "assistant/views/ChatMessageRow.h"
#include "assistant/views/DescribeFindPanel.h"
#include "platform/NotificationCenter.h"
#include "platform/SymbolIcons.h"
#include "platform/SymbolName.h"
#include "shell/ScreenState.h"
#include "ui-kit/AIPrivacyCard.h"
#include "ui-kit/DraggableDivider.h"
#include "ui-kit/QKAlert.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKRowList.h"
#include "ui-kit/QKSpinner.h"
#include "ui-kit/Themed.h"
#include "vitals/AppState.h"

#include <QClipboard>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// How long after a new message the list keeps following the bottom while the rows settle.
constexpr int kFollowMs = 250;

} // namespace

TamsoAIView::TamsoAIView(ScreenState& screen, AppState& appState, TamsoAssistant& assistant,
                         SpotlightSearch& finder, FileRevealer* revealer, QWidget* parent)
    : QWidget(parent), m_screen(screen), m_appState(appState), m_assistant(assistant) {
    setObjectName(QStringLiteral("tamsoAIView"));
    setWindowTitle(TamsoAIText::title());
    auto* root = QKBuild::flushColumn(this);

    // Header bar.
    m_header = new QWidget(this);
    m_header->setObjectName(QStringLiteral("chatHeader"));
    auto* header = new QHBoxLayout(m_header);
    header->setContentsMargins(16, 10, 16, 10);
    header->addWidget(new QKIconLabel("sparkles"_sym, TamsoAIText::title(),
                                      QKFont{.style = TextStyle::Headline}, QKForeground::Primary,
                                      m_header));
    header->addStretch(1);
    m_privacyButton = new QPushButton(TamsoAIText::privacyButton(), m_header);
    m_privacyButton->setObjectName(QStringLiteral("privacyButton"));
    m_privacyButton->setFlat(true);
    m_privacyButton->setCursor(Qt::PointingHandCursor);
    m_privacyButton->setToolTip(TamsoAIText::privacyTip());
    QKFont::apply(m_privacyButton, TextStyle::Caption, QFont::DemiBold);
    QKForeground::apply(m_privacyButton, QKForeground::Green);
    m_privacyButton->setIcon(SymbolIcons::icon(
        "lock.shield.fill"_sym, QKForeground::color(QKForeground::Green, palette())));
    connect(m_privacyButton, &QPushButton::clicked, this, [this] { setShowPrivacy(true); });
    header->addWidget(m_privacyButton);
    root->addWidget(m_header);
    root->addWidget(new QKHairline(this));

    auto* body = QKBuild::insetRow(nullptr, {0, 0, 0, 0}, 0);
    root->addLayout(body, 1);

    // Chat column: messages, a rule, the input row.
    auto* chat = new QWidget(this);
    chat->setObjectName(QStringLiteral("chatColumn"));
    auto* chatColumn = QKBuild::flushColumn(chat);
    m_list = new QScrollArea(chat);
    m_list->setObjectName(QStringLiteral("messageList"));
    QKBuild::plainScroll(m_list);
    m_list->viewport()->installEventFilter(this);
    auto* content = new QWidget(m_list);
    content->setAutoFillBackground(false);
    m_messages = QKBuild::insetColumn(content, {14, 14, 14, 14}, 10);
    // The conversation: one row drawn per message, no widget of its own.
    m_model = new TamsoMessageListModel(assistant, this);
    m_rows = new QKRowList(QKRowList::Height::Fitted, content);
    m_rows->setObjectName(QStringLiteral("messages"));
    m_rows->setAccessibleName(TamsoAIText::title());
    m_delegate = new ChatMessageDelegate(m_rows);
    m_rows->setItemDelegate(m_delegate);
    m_rows->setModel(m_model);
    m_rows->installEventFilter(this);
    m_messages->addWidget(m_rows);
    m_spinner = new QKSpinner(content);
    m_spinner->setObjectName(QStringLiteral("thinking"));
    m_messages->addWidget(m_spinner, 0, Qt::AlignLeft);
    m_messages->setAlignment(m_spinner, Qt::AlignLeft);
    m_spinner->setContentsMargins(8, 0, 0, 0);
    m_messages->addStretch(1);
    m_list->setWidget(content);
    chatColumn->addWidget(m_list, 1);
    chatColumn->addWidget(new QKHairline(chat));

    auto* input = QKBuild::insetRow(nullptr, {12, 12, 12, 12}, 8);
    m_field = new QLineEdit(chat);
    m_field->setObjectName(QStringLiteral("questionField"));
    m_field->setPlaceholderText(TamsoAIText::questionPlaceholder());
    m_field->setAccessibleName(TamsoAIText::questionPlaceholder());
    QKFont::apply(m_field, TextStyle::Body);
    input->addWidget(m_field, 1);
    m_ask = new QKProminentButton(TamsoAIText::askButton(), chat);
    m_ask->setObjectName(QStringLiteral("askButton"));
    input->addWidget(m_ask);
    chatColumn->addLayout(input);
    body->addWidget(chat, 1);

    // The splitter and the find panel, as wide as ScreenState says.
    m_divider = new DraggableDivider(screen.tamsoFindWidth(), TamsoAIText::kFindWidthMin,
                                     TamsoAIText::kFindWidthMax, true, this);
    m_divider->setObjectName(QStringLiteral("findDivider"));
    body->addWidget(m_divider);
    m_panel = new DescribeFindPanel(screen, finder, revealer, this);
    body->addWidget(m_panel);
    applyFindWidth();

    connect(m_divider, &DraggableDivider::paneWidthChanged, this,
            [this](qreal width) { m_screen.setTamsoFindWidth(width); });
    connect(&m_screen, &ScreenState::tamsoFindWidthChanged, this, &TamsoAIView::applyFindWidth);
    connect(m_field, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_screen.setTamsoQuestion(text); });
    connect(m_field, &QLineEdit::returnPressed, this, &TamsoAIView::send);
    connect(m_ask, &QPushButton::clicked, this, &TamsoAIView::send);
    connect(&m_screen, &ScreenState::tamsoQuestionChanged, this, &TamsoAIView::syncField);
    connect(&m_assistant, &TamsoAssistant::messagesChanged, this, &TamsoAIView::syncMessages);
    connect(m_delegate, &ChatMessageDelegate::actionTriggered, this,
            [this](const QModelIndex& index, const QString& button) {
                const auto message =
                    index.data(TamsoMessageListModel::MessageRole).value<TamsoMessage>();
                if (button == QStringLiteral("copyAnswer")) {
                    copyAnswer(message);
                    return;
                }
                for (int i = 0; i < message.actions.size(); ++i) {
                    if (button == ChatMessageRow::chipName(i)) {
                        tapAction(message.actions.at(i));
                        return;
                    }
                }
            });
    connect(&m_assistant, &TamsoAssistant::thinkingChanged, this, &TamsoAIView::syncAsk);
    connect(&m_assistant, &TamsoAssistant::pendingActionChanged, this, &TamsoAIView::syncPending);
    connect(m_list->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
        if (m_followNewest)
            scrollToNewest();
    });

    // Only while this screen is visible does an asked-for search start here.
    NotificationCenter::defaultCenter().observe(Notifications::RunSearch, this,
                                                [this](const QString& text) {
                                                    if (isVisible())
                                                        m_panel->runSearch(text);
                                                });

    syncMessages();
    m_built = true; // from now on a change of the conversation scrolls to its end
    syncField();
    syncPending();
}

void TamsoAIView::send() {
    const QString question = m_screen.tamsoQuestion();
    m_screen.setTamsoQuestion(QString());
    m_assistant.ask(
        question, m_appState.snapshot(),
        TamsoScreenContext{QStringLiteral("tamso"), TamsoAIText::title(), std::nullopt});
}

void TamsoAIView::copyAnswer(const TamsoMessage& message) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(message.text);
}

void TamsoAIView::tapAction(const TamsoAction& action) {
    if (action.kind == TamsoActionKind::OpenFeature) {
        // May replace this screen; nothing may follow the post.
        NotificationCenter::defaultCenter().post(Notifications::OpenSection, action.featureID);
        return;
    }
    m_assistant.setPendingAction(action);
}

void TamsoAIView::approve() {
    m_assistant.perform();
}

void TamsoAIView::cancelPending() {
    m_assistant.setPendingAction(std::nullopt);
}

QMessageBox* TamsoAIView::approvalDialog() const {
    return m_dialog;
}

bool TamsoAIView::showPrivacy() const {
    return m_privacy && m_privacy->isVisible();
}

void TamsoAIView::setShowPrivacy(bool show) {
    if (!show) {
        if (m_privacy)
            m_privacy->close();
        return;
    }
    if (!m_privacy) {
        m_privacy = new QFrame(this, Qt::Popup);
        m_privacy->setObjectName(QStringLiteral("privacyPopover"));
        m_privacy->setAttribute(Qt::WA_DeleteOnClose);
        m_privacy->setFrameShape(QFrame::StyledPanel);
        Themed::apply(m_privacy);
        auto* layout = new QVBoxLayout(m_privacy);
        layout->setContentsMargins(16, 16, 16, 16);
        auto* card = new AIPrivacyCard(m_privacy);
        card->setFixedWidth(380);
        layout->addWidget(card);
    }
    m_privacy->adjustSize();
    // Hangs from the header bar's bottom edge, centred under it.
    const QPoint anchor = m_header->mapToGlobal(QPoint(m_header->width() / 2, m_header->height()));
    m_privacy->move(anchor.x() - m_privacy->width() / 2, anchor.y());
    m_privacy->show();
}

void TamsoAIView::syncMessages() {
    // The model has followed the assistant already (it was connected first).
    const int count = m_model->rowCount();
    m_rows->setVisible(count > 0);
    syncAsk();
    if (m_built && count != m_shownCount && count > 0) {
        m_followNewest = true;
        QTimer::singleShot(0, this, &TamsoAIView::scrollToNewest);
        QTimer::singleShot(kFollowMs, this, [this] { m_followNewest = false; });
    }
    m_shownCount = count;
}

void TamsoAIView::scrollToNewest() {
    QScrollBar* bar = m_list->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void TamsoAIView::syncAsk() {
    const bool thinking = m_assistant.thinking();
    m_ask->setEnabled(TamsoAIText::canAsk(m_screen.tamsoQuestion(), thinking));
    m_spinner->setVisible(thinking);
}

void TamsoAIView::syncField() {
    const QString text = m_screen.tamsoQuestion();
    if (m_field->text() != text)
        m_field->setText(text);
    syncAsk();
}

void TamsoAIView::syncPending() {
    const std::optional<TamsoAction>& pending = m_assistant.pendingAction();
    if (!pending) {
        if (m_dialog)
            m_dialog->close();
        return;
    }
    const QString title = TamsoAIText::approvalTitle(pending);
    const QString message = TamsoAIText::approvalMessage(pending);
    if (m_dialog) {
        m_dialog->setText(title);
        m_dialog->setInformativeText(message);
        return;
    }
    QMessageBox* box = QKAlert::make(title, message, QMessageBox::NoButton, this);
    box->setObjectName(QStringLiteral("approvalDialog"));
    QPushButton* approveButton =
        box->addButton(TamsoAIText::approveButton(), QMessageBox::DestructiveRole);
    approveButton->setObjectName(QStringLiteral("approveButton"));
    QPushButton* cancelButton =
        box->addButton(TamsoAIText::cancelButton(), QMessageBox::RejectRole);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    box->setEscapeButton(cancelButton);
    box->setDefaultButton(cancelButton);
    // The dialog reports the button before it finishes, so "Approve" still finds its action.
    connect(box, &QMessageBox::buttonClicked, this, [this, approveButton](QAbstractButton* b) {
        if (b == approveButton)
            approve();
        else
            cancelPending();
    });
    // Any other way out (the window's close button) leaves nothing pending either.
    connect(box, &QMessageBox::finished, this, [this] {
        if (m_assistant.pendingAction())
            cancelPending();
    });
    m_dialog = box;
    box->open();
}

void TamsoAIView::applyFindWidth() {
    const double width = m_screen.tamsoFindWidth();
    if (m_divider->paneWidth() != width)
        m_divider->setPaneWidth(width);
    m_panel->setFixedWidth(int(qRound(width)));
}

void TamsoAIView::fitBubbles() {
    const int width = m_list->viewport()->width() - 28;
    const int bubble = std::max(120, int(width * 0.85));
    if (bubble == m_delegate->bubbleMaximumWidth())
        return;
    m_delegate->setBubbleMaximumWidth(bubble);
    m_rows->doItemsLayout();
}

bool TamsoAIView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list->viewport() && event->type() == QEvent::Resize)
        fitBubbles();
    // Copy on the list copies the current message, the user's own included.
    if (watched == m_rows && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy) &&
        m_rows->currentIndex().isValid()) {
        copyAnswer(
            m_rows->currentIndex().data(TamsoMessageListModel::MessageRole).value<TamsoMessage>());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
