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
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKPopover.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKRowList.h"
#include "ui-kit/QKSpinner.h"
#include "ui-kit/Themed.h"
#include "vitals/AppState.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

namespace {

// How long after a new message the list keeps following the bottom while the rows settle.
constexpr int kFollowMs = 250;

} // namespace

TamsoAIView::TamsoAIView(ScreenState& screen, AppState& appState, TamsoAssistant& assistant,
                         SpotlightSearch& finder, FileRevealer* revealer, QWidget* parent)
    : QWidget(parent), m_screen(screen), m_appState(appState), m_assistant(assistant) {
    setObjectName(QStringLiteral("tamsoAIView"));
    setWindowTitle(TamsoAIText::title());
    using namespace QKLayout;
    QWidget* chat = nullptr;
    // The header bar over the body: the chat column (messages, a rule, the input row), the
    // splitter and the find panel, as wide as ScreenState says.
    flushColumn(
        {
            part(m_header = new QWidget(this))
                .name(QStringLiteral("chatHeader"))
                .holding(row({16, 10, 16, 10}, -1,
                             {
                                 new QKIconLabel("sparkles"_sym, TamsoAIText::title(),
                                                 QKFont{.style = TextStyle::Headline},
                                                 QKForeground::Primary, m_header),
                                 stretch(1),
                                 part(m_privacyButton = privacyButton(m_header))
                                     .name(QStringLiteral("privacyButton")),
                             })),
            new QKHairline(this),
            flushRow({
                         part(chat = new QWidget(this))
                             .name(QStringLiteral("chatColumn"))
                             .stretch(1)
                             .holding(flushColumn({
                                 part(buildConversation(chat)).stretch(1),
                                 new QKHairline(chat),
                                 row({12, 12, 12, 12}, 8,
                                     {
                                         part(m_field = new QLineEdit(chat))
                                             .name(QStringLiteral("questionField"))
                                             .font(TextStyle::Body)
                                             .accessibleName(TamsoAIText::questionPlaceholder())
                                             .stretch(1),
                                         part(m_ask = new QKProminentButton(
                                                  TamsoAIText::askButton(), chat))
                                             .name(QStringLiteral("askButton")),
                                     }),
                             })),
                         part(m_divider = new DraggableDivider(
                                  screen.tamsoFindWidth(), TamsoAIText::kFindWidthMin,
                                  TamsoAIText::kFindWidthMax, true, this))
                             .name(QStringLiteral("findDivider")),
                         part(m_panel = new DescribeFindPanel(screen, finder, revealer, this)),
                     })
                .stretch(1),
        })
        .on(this);
    m_field->setPlaceholderText(TamsoAIText::questionPlaceholder());
    applyFindWidth();
    follow();
    syncMessages();
    m_built = true; // from now on a change of the conversation scrolls to its end
    syncField();
    syncPending();
}

QPushButton* TamsoAIView::privacyButton(QWidget* parent) {
    auto* button = new QPushButton(TamsoAIText::privacyButton(), parent);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolTip(TamsoAIText::privacyTip());
    QKFont::apply(button, TextStyle::Caption, QFont::DemiBold);
    QKForeground::apply(button, QKForeground::Green);
    button->setIcon(SymbolIcons::icon("lock.shield.fill"_sym,
                                      QKForeground::color(QKForeground::Green, palette())));
    return button;
}

QScrollArea* TamsoAIView::buildConversation(QWidget* parent) {
    m_list = new QScrollArea(parent);
    m_list->setObjectName(QStringLiteral("messageList"));
    QKBuild::plainScroll(m_list);
    m_list->viewport()->installEventFilter(this);
    auto* content = new QWidget(m_list);
    content->setAutoFillBackground(false);
    // The conversation: one row drawn per message, no widget of its own.
    m_model = new TamsoMessageListModel(m_assistant, this);
    using namespace QKLayout;
    column({14, 14, 14, 14}, 10,
           {
               part(m_rows = new QKRowList(QKRowList::Height::Fitted, content))
                   .name(QStringLiteral("messages"))
                   .accessibleName(TamsoAIText::title()),
               part(m_spinner = new QKSpinner(content))
                   .name(QStringLiteral("thinking"))
                   .align(Qt::AlignLeft),
               stretch(1),
           })
        .on(content);
    m_delegate = new ChatMessageDelegate(m_rows);
    m_rows->setItemDelegate(m_delegate);
    m_rows->setModel(m_model);
    m_rows->installEventFilter(this);
    m_list->setWidget(content);
    return m_list;
}

void TamsoAIView::follow() {
    connect(m_privacyButton, &QPushButton::clicked, this, [this] { setShowPrivacy(true); });
    connect(m_divider, &DraggableDivider::paneWidthChanged, this,
            [this](qreal width) { m_screen.setTamsoFindWidth(width); });
    connect(&m_screen, &ScreenState::tamsoFindWidthChanged, this, &TamsoAIView::applyFindWidth);
    connect(m_field, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_screen.setTamsoQuestion(text); });
    connect(m_field, &QLineEdit::returnPressed, this, &TamsoAIView::send);
    connect(m_ask, &QPushButton::clicked, this, &TamsoAIView::send);
    connect(&m_screen, &ScreenState::tamsoQuestionChanged, this, &TamsoAIView::syncField);
    connect(&m_assistant, &TamsoAssistant::messagesChanged, this, &TamsoAIView::syncMessages);
    connect(m_delegate, &ChatMessageDelegate::actionTriggered, this, &TamsoAIView::rowAction);
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
}

void TamsoAIView::rowAction(const QModelIndex& index, const QString& button) {
    // A button's press does not make its row current. Without a current row, the list's next
    // focus-in (the window activated again once a dialog closes, whenever the window manager gets
    // to it) would make the first message current and scroll the page up to it; the row pressed
    // is the keyboard's place instead, and the page stays where it is.
    if (m_rows->currentIndex() != index) {
        QScrollBar* bar = m_list->verticalScrollBar();
        const int place = bar->value();
        m_rows->setCurrentIndex(index);
        bar->setValue(place);
    }
    const auto message = index.data(TamsoMessageListModel::MessageRole).value<TamsoMessage>();
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

void TamsoAIView::setShowPrivacy(bool show) {
    if (!show) {
        if (m_privacy)
            m_privacy->close();
        return;
    }
    if (!m_privacy) {
        m_privacy = new QKPopover(TamsoAIText::privacyButton(), this);
        m_privacy->setObjectName(QStringLiteral("privacyPopover"));
        auto* card = new AIPrivacyCard(m_privacy);
        card->setFixedWidth(380);
        QKLayout::column({16, 16, 16, 16}, -1, {card}).on(m_privacy);
    }
    // Hangs from the header bar's bottom edge, centred under it.
    m_privacy->showUnder(m_header, m_privacyButton);
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
    if (watched == m_rows && event->type() == QEvent::KeyPress)
        return rowKey(static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

bool TamsoAIView::rowKey(QKeyEvent* event) {
    const QModelIndex current = m_rows->currentIndex();
    if (!current.isValid())
        return false;
    // Shift with an arrow starts selecting in the current message's text, from its start.
    if ((event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) &&
        event->modifiers() == Qt::ShiftModifier) {
        QLabel* text = m_delegate->selectText(current);
        if (!text)
            return false;
        text->setFocus(Qt::OtherFocusReason);
        text->setSelection(0, 0);
        QKeyEvent again(event->type(), event->key(), event->modifiers(), event->text());
        QCoreApplication::sendEvent(text, &again);
        return true;
    }
    // Copy on the list copies the current message, the user's own included.
    if (event->matches(QKeySequence::Copy)) {
        copyAnswer(current.data(TamsoMessageListModel::MessageRole).value<TamsoMessage>());
        return true;
    }
    return false;
}
