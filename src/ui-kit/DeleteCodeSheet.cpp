#include "ui-kit/DeleteCodeSheet.h"

#include "platform/SymbolName.h"
#include "ui-kit/Color.h"
#include "ui-kit/QKBorderedButton.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKPaint.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/Themed.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>

namespace {

// The code, on a faint rounded fill across the sheet's width.
class CodeLabel : public QLabel {
public:
    explicit CodeLabel(QWidget* parent) : QLabel(parent) {
        setAlignment(Qt::AlignCenter);
        setTextFormat(Qt::PlainText);
        setTextInteractionFlags(Qt::NoTextInteraction);
        // Tracking adds its space after every digit; the same on the left keeps it centred.
        setContentsMargins(8, 8, 0, 8);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QColor fill = QKForeground::color(QKForeground::Primary, palette());
        fill.setAlphaF(Color::isDark(palette()) ? 0.09f : 0.055f);
        QKPaint::fillRounded(p, QRectF(rect()), 8, fill);
        p.end();
        QLabel::paintEvent(event);
    }
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::FontChange) {
            // Tracking is 8 points whatever the text size.
            QFont f = font();
            if (f.letterSpacing() != 8 || f.letterSpacingType() != QFont::AbsoluteSpacing) {
                f.setLetterSpacing(QFont::AbsoluteSpacing, 8);
                setFont(f);
            }
        }
        QLabel::changeEvent(event);
    }
};

} // namespace

DeleteCodeSheet::DeleteCodeSheet(const QString& title, const QString& message,
                                 const QString& confirmVerb, std::function<void()> onConfirm,
                                 std::function<void()> onCancel, QWidget* parent,
                                 DeleteCode::RandomSource random)
    : QDialog(parent), m_onConfirm(std::move(onConfirm)), m_onCancel(std::move(onCancel)),
      m_random(std::move(random)) {
    setWindowModality(Qt::WindowModal);
    setWindowTitle(title);
    setFixedWidth(380);
    Themed::apply(this);

    using namespace QKLayout;
    column({20, 20, 20, 20}, 14,
           {
               part(m_title = new QKIconLabel("exclamationmark.triangle.fill"_sym, title,
                                              QKFont{.style = TextStyle::Headline},
                                              QKForeground::Orange, this)),
               part(m_message = new QLabel(message, this))
                   .with([](QLabel* label) {
                       label->setTextFormat(Qt::PlainText);
                       label->setWordWrap(true);
                   })
                   .font(TextStyle::Body)
                   .ink(QKForeground::Secondary),
               column(6, {part(new QLabel(QStringLiteral("Type this code to confirm:"), this))
                              .font(TextStyle::Callout),
                          part(m_codeLabel = new CodeLabel(this))
                              .name(QStringLiteral("deleteCode"))
                              .font(QKFont{.fixedSize = 30,
                                           .weight = QFont::Bold,
                                           .design = FontDesign::Monospaced}),
                          part(m_entry = new QLineEdit(this))
                              .with([](QLineEdit* entry) {
                                  entry->setPlaceholderText(QStringLiteral("Enter the 4 digits"));
                                  entry->setAccessibleName(entry->placeholderText());
                              })
                              .font(QKFont{.style = TextStyle::Title3,
                                           .design = FontDesign::Monospaced})}),
               row({part(m_cancel = new QKBorderedButton(QStringLiteral("Cancel"), this))
                        .name(QStringLiteral("deleteCodeCancel")),
                    stretch(1),
                    part(m_confirm = new QKProminentButton(confirmVerb, this))
                        .with([](QKProminentButton* confirm) { confirm->setDestructive(true); })}),
           })
        .on(this);

    connect(m_entry, &QLineEdit::textChanged, this, &DeleteCodeSheet::updateButton);
    connect(m_confirm, &QPushButton::clicked, this, &DeleteCodeSheet::confirm);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (m_onCancel)
            m_onCancel();
    });
    updateButton(); // no code until the sheet is shown
}

QString DeleteCodeSheet::entry() const {
    return m_entry->text();
}

bool DeleteCodeSheet::canConfirm() const {
    return DeleteCode::matches(entry(), m_code);
}

QPushButton* DeleteCodeSheet::confirmButton() const {
    return m_confirm;
}

void DeleteCodeSheet::setTexts(const QString& title, const QString& message,
                               const QString& confirmVerb) {
    setWindowTitle(title);
    m_title->setText(title);
    m_message->setText(message);
    m_confirm->setText(confirmVerb);
    m_confirm->updateGeometry();
}

void DeleteCodeSheet::renew() {
    m_code = DeleteCode::make(m_random);
    m_codeLabel->setText(m_code);
    m_entry->clear();
    m_confirmed = false;
    updateButton();
}

void DeleteCodeSheet::updateButton() {
    m_confirm->setEnabled(!m_confirmed && canConfirm());
}

void DeleteCodeSheet::showEvent(QShowEvent* event) {
    // A new showing, not the window coming back from being minimised.
    if (!event->spontaneous()) {
        renew();
        m_entry->setFocus();
    }
    QDialog::showEvent(event);
}

void DeleteCodeSheet::confirm() {
    if (m_confirmed || !canConfirm())
        return;
    m_confirmed = true;
    QPointer<DeleteCodeSheet> self(this);
    // A copy: the owner may drop this sheet, and with it the closure, while the work runs.
    const std::function<void()> action = m_onConfirm;
    if (action)
        action();
    if (self)
        updateButton();
}
