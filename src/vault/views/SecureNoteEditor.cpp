#include "vault/views/SecureNoteEditor.h"

#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DeleteConfirm.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKPaint.h"
#include "vault/SecureNotesStore.h"
#include "vault/SecureNotesText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTimer>

namespace {

// The rounded well the secret sits in, in both its forms: the quaternary text colour at 40 %.
class SecretWell : public QStackedWidget {
public:
    using QStackedWidget::QStackedWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QColor fill = QKForeground::color(QKForeground::Quaternary, palette());
        fill.setAlphaF(fill.alphaF() * 0.4f);
        QKPaint::fillRounded(p, QRectF(rect()), 8, fill);
    }
};

// Lets the well show through: no fill of its own, and an edit field's base made clear (only that
// role is set, so the rest of the palette still follows the appearance).
QWidget* transparent(QWidget* w) {
    w->setAutoFillBackground(false);
    QPalette p = w->palette();
    p.setColor(QPalette::Base, Qt::transparent);
    w->setPalette(p);
    return w;
}

} // namespace

SecureNoteEditor::SecureNoteEditor(SecureNotesStore& store, const SecureNote& note, QWidget* parent)
    : QWidget(parent), m_store(store), m_note(note) {
    using namespace QKLayout;
    setObjectName(QStringLiteral("secureNoteEditor"));
    // The title, the secret under its heading and actions, and the footer.
    column({20, 20, 20, 20}, 12,
           {
               part(m_titleField = new QLineEdit(this))
                   .name(QStringLiteral("noteTitleField"))
                   .accessibleName(SecureNotesText::titlePlaceholder())
                   .with([](QLineEdit* field) {
                       field->setPlaceholderText(SecureNotesText::titlePlaceholder());
                       field->setFrame(false);
                       transparent(field);
                   })
                   .font(TextStyle::Title2, QFont::Bold),
               buildSecretBar(),
               part(buildWell()).name(QStringLiteral("secretWell")).stretch(1),
               buildFooter(),
           })
        .on(this);

    m_pause = new QTimer(this);
    m_pause->setSingleShot(true);
    m_pause->setInterval(kSavePauseMs);
    m_confirm =
        new DeleteConfirm(this, SecureNotesText::deleteTitle(), SecureNotesText::deleteMessage(),
                          SecureNotesText::deleteVerb(), [this] { deleteNote(); });
    connectParts();

    showSecret();
    showSaveState();
}

// The secret's heading, with Reveal, Copy and the mark a copy leaves.
QKLayout::Box SecureNoteEditor::buildSecretBar() {
    using namespace QKLayout;
    return row(
        {part(QKBuild::label(SecureNotesText::secretHeading(), TextStyle::Caption,
                             QKForeground::Secondary, this, QFont::DemiBold, false)),
         stretch(1),
         part(m_reveal = QKBuild::button(SecureNotesText::revealButton(false), true, this))
             .name(QStringLiteral("revealButton")),
         part(m_copy = QKBuild::button(SecureNotesText::copyButton(), true, this))
             .name(QStringLiteral("copyButton")),
         part(m_copiedLabel = QKBuild::label(SecureNotesText::copiedMark(), TextStyle::Caption,
                                             QKForeground::Green, this, std::nullopt, false))
             .name(QStringLiteral("copiedLabel"))
             .with([](QLabel* l) { l->hide(); })});
}

// Where the secret is kept, how the last save went, and Delete.
QKLayout::Box SecureNoteEditor::buildFooter() {
    using namespace QKLayout;
    return row(
        {part(new QKIconLabel(QStringLiteral("lock.shield"), SecureNotesText::footer(),
                              QKFont{.style = TextStyle::Caption}, QKForeground::Green, this))
             .name(QStringLiteral("keyringFooter"))
             .with([](QKIconLabel* l) { l->textLabel()->setWordWrap(false); }),
         part(m_saveStatus =
                  QKBuild::label(QString(), TextStyle::Caption, QKForeground::Secondary, this))
             .name(QStringLiteral("saveStatus"))
             .stretch(1),
         part(m_delete = QKBuild::button(SecureNotesText::deleteButton(), false, this))
             .name(QStringLiteral("deleteButton"))
             .ink(QKForeground::Red)});
}

void SecureNoteEditor::connectParts() {
    connect(m_titleField, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_title = text;
        edited();
    });
    connect(m_pause, &QTimer::timeout, this, &SecureNoteEditor::commit);
    connect(m_reveal, &QPushButton::clicked, this, [this] { setRevealed(!m_revealed); });
    connect(m_copy, &QPushButton::clicked, this, &SecureNoteEditor::copySecret);
    connect(m_retry, &QPushButton::clicked, this, &SecureNoteEditor::readSecret);
    connect(m_editor, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_revealed)
            return;
        m_body = m_editor->toPlainText();
        edited();
    });
    connect(m_delete, &QPushButton::clicked, this, [this] { m_confirm->setPresented(true); });
}

// The well the secret sits in, with its three faces, made in place in the tree so the focus chain
// runs through it before the footer.
QStackedWidget* SecureNoteEditor::buildWell() {
    using namespace QKLayout;
    const auto mono = [](QWidget* w) {
        QKFont::apply(w, TextStyle::Body, std::nullopt, FontDesign::Monospaced);
    };
    m_box = new SecretWell(this);
    // Hidden: the bullets and the count, read-only.
    auto* hiddenScroll = new QScrollArea(m_box);
    hiddenScroll->setAccessibleName(SecureNotesText::secretHeading());
    hiddenScroll->setFrameShape(QFrame::NoFrame);
    hiddenScroll->setWidgetResizable(true);
    transparent(hiddenScroll);
    transparent(hiddenScroll->viewport());
    m_hidden = transparent(new QWidget);
    column({8, 8, 8, 8}, 6,
           {part(m_masked =
                     QKBuild::label(QString(), TextStyle::Body, QKForeground::Secondary, m_hidden))
                .name(QStringLiteral("maskedSecret"))
                .with(mono),
            part(m_count = QKBuild::label(QString(), TextStyle::Caption2, QKForeground::Tertiary,
                                          m_hidden, std::nullopt, false))
                .name(QStringLiteral("characterCount")),
            stretch(1)})
        .on(m_hidden);
    hiddenScroll->setWidget(m_hidden);
    // setWidget() turns the fill on again.
    m_hidden->setAutoFillBackground(false);
    m_box->addWidget(hiddenScroll);

    // Revealed: the secret in clear, editable.
    m_editor = part(new QPlainTextEdit(m_box))
                   .name(QStringLiteral("secretEditor"))
                   .accessibleName(SecureNotesText::secretHeading())
                   .with([&mono](QPlainTextEdit* editor) {
                       editor->setFrameShape(QFrame::NoFrame);
                       transparent(editor);
                       transparent(editor->viewport());
                       mono(editor);
                   })
                   .widget();
    m_box->addWidget(m_editor);

    // Unreadable: what happened, and another try.
    m_failurePanel = transparent(new QWidget(m_box));
    column({8, 8, 8, 8}, 8,
           {part(m_failure = QKBuild::label(SecureNotesText::readFailed(), TextStyle::Body,
                                            QKForeground::Orange, m_failurePanel))
                .name(QStringLiteral("readFailure")),
            part(m_retry = QKBuild::button(SecureNotesText::retryButton(), true, m_failurePanel))
                .name(QStringLiteral("retryButton"))
                .align(Qt::AlignLeft),
            stretch(1)})
        .on(m_failurePanel);
    m_box->addWidget(m_failurePanel);

    return m_box;
}

// Leaving the note (another note, another screen) saves what is typed without waiting for the
// pause; the store runs it after the editor is gone.
SecureNoteEditor::~SecureNoteEditor() {
    saveNow();
}

void SecureNoteEditor::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    load();
}

void SecureNoteEditor::load() {
    // A second showing of the same editor never reloads over the user's edits.
    if (m_loaded)
        return;
    m_title = m_note.title;
    m_titleField->setText(m_title);
    m_loaded = true;
    readSecret();
    showSaveState();
}

void SecureNoteEditor::readSecret() {
    const quint64 ticket = ++m_readTicket;
    m_readState = ReadState::Reading;
    m_readTimedOut = false;
    showSecret();
    m_store.readSecret(m_note.id, this, [this, ticket](const Keychain::Read& read, bool timedOut) {
        secretRead(ticket, read, timedOut);
    });
}

void SecureNoteEditor::secretRead(quint64 ticket, const Keychain::Read& read, bool timedOut) {
    // Only the latest read counts, and only until it has an answer; a late answer to a read
    // that timed out is still that answer.
    if (ticket != m_readTicket || m_readState == ReadState::Read)
        return;
    if (m_readState == ReadState::Failed && !m_readTimedOut)
        return;
    m_readTimedOut = timedOut;
    if (timedOut || read.status == Keychain::Read::Status::Failed) {
        // Not known at all: the state keeps commit() from ever writing an empty text over it.
        m_readState = ReadState::Failed;
        showSecret();
        return;
    }
    // A missing item is an empty secret.
    m_readState = ReadState::Read;
    m_body = read.status == Keychain::Read::Status::Found ? read.value : QString();
    m_handed = std::pair(m_title, m_body);
    showSecret();
}

void SecureNoteEditor::edited() {
    if (!m_loaded || m_readState != ReadState::Read)
        return;
    m_pause->start();
}

bool SecureNoteEditor::awaitsPause() const {
    return m_pause->isActive();
}

void SecureNoteEditor::saveNow() {
    m_pause->stop();
    commit();
}

void SecureNoteEditor::commit() {
    m_pause->stop();
    if (!m_loaded || m_readState != ReadState::Read)
        return;
    const std::pair<QString, QString> pair(m_title, m_body);
    if (m_handed == pair)
        return;
    const quint64 ticket = ++m_saveTicket;
    const bool queued = m_store.save(
        m_note.id, m_title, m_body, this,
        [this, ticket, pair](SecureNotesStore::Outcome outcome) { saved(ticket, pair, outcome); });
    if (!queued)
        return; // the note is gone
    m_handed = pair;
    m_saveLine = SecureNotesText::saving();
    showSaveState();
}

void SecureNoteEditor::saved(quint64 ticket, const std::pair<QString, QString>& pair,
                             SecureNotesStore::Outcome outcome) {
    // An earlier save that answers late says nothing about what is typed now.
    if (ticket != m_saveTicket)
        return;
    using Outcome = SecureNotesStore::Outcome;
    switch (outcome) {
    case Outcome::Done:
        m_handed = pair;
        m_saveLine.clear();
        break;
    case Outcome::IndexFailed:
        m_saveLine = m_store.isIndexed(m_note.id) ? SecureNotesText::titleInMemory()
                                                  : SecureNotesText::notSavedInMemory();
        if (!m_store.isIndexed(m_note.id))
            m_handed.reset();
        break;
    case Outcome::Refused:
        // The alert is the store's; the typed text stays and the next change tries again.
        m_saveLine = SecureNotesText::saveRefusedLine();
        m_handed.reset();
        break;
    case Outcome::TimedOut:
        m_saveLine = SecureNotesText::saveTimedOut();
        m_handed.reset();
        break;
    case Outcome::Gone:
        m_saveLine.clear();
        break;
    }
    showSaveState();
}

void SecureNoteEditor::showSaveState() {
    QString line = m_saveLine;
    if (line.isEmpty() && m_loaded && !m_store.isIndexed(m_note.id) && m_store.note(m_note.id))
        line = SecureNotesText::notSavedInMemory();
    m_saveStatus->setText(line);
    m_saveStatus->setVisible(!line.isEmpty());
}

void SecureNoteEditor::setRevealed(bool revealed) {
    m_revealed = revealed;
    showSecret();
}

void SecureNoteEditor::showSecret() {
    const bool known = m_readState == ReadState::Read;
    m_titleField->setReadOnly(!known);
    m_titleField->setEnabled(known);
    m_reveal->setEnabled(known);
    m_copy->setEnabled(known);
    m_reveal->setText(SecureNotesText::revealButton(m_revealed));
    if (!known) {
        const bool reading = m_readState == ReadState::Reading;
        m_failure->setText(reading          ? SecureNotesText::reading()
                           : m_readTimedOut ? SecureNotesText::readTimedOut()
                                            : SecureNotesText::readFailed());
        // Reading is no alarm: only a failure takes the warning colour.
        QKForeground::apply(m_failure, reading ? QKForeground::Secondary : QKForeground::Orange);
        m_retry->setVisible(!reading);
        m_box->setCurrentWidget(m_failurePanel);
        return;
    }
    if (m_revealed) {
        if (m_editor->toPlainText() != m_body)
            m_editor->setPlainText(m_body);
        m_box->setCurrentWidget(m_editor);
        return;
    }
    m_masked->setText(SecureNotesText::maskedSecret(m_body));
    m_count->setText(SecureNotesText::characterCountLine(m_body));
    m_box->setCurrentIndex(0);
}

void SecureNoteEditor::copySecret() {
    if (m_readState != ReadState::Read)
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_body);
    setCopied(true);
}

void SecureNoteEditor::setCopied(bool copied) {
    if (copied == m_copied)
        return;
    m_copied = copied;
    m_copiedLabel->setVisible(copied);
    // A copy while the mark shows schedules nothing: it goes 2 s after the first.
    if (copied)
        QTimer::singleShot(2000, this, [this] { setCopied(false); });
}

void SecureNoteEditor::deleteNote() {
    // A keyring that keeps the item is reported by the store, and the note stays with the typed
    // text still to be saved; a note that goes takes its unsaved typing with it.
    m_pause->stop();
    m_store.deleteNote(m_note.id);
}
