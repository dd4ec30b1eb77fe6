#include "ui-kit/AskTamsoStrip.h"

#include "platform/NotificationCenter.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKPaint.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKSymbol.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// The sparkles on a faint tile of the accent colour, 34 × 34 points.
class IconTile : public QWidget {
public:
    explicit IconTile(QWidget* parent) : QWidget(parent) {
        setFixedSize(34, 34);
        using namespace QKLayout;
        row({0, 0, 0, 0}, {part(new QKSymbol("sparkles"_sym, QKFont{.style = TextStyle::Body},
                                             QKForeground::Tint, this))
                               .align(Qt::AlignCenter)})
            .on(this);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QColor fill = palette().color(QPalette::Active, QPalette::Highlight);
        fill.setAlphaF(0.12f);
        QKPaint::fillRounded(p, QRectF(rect()), 9, fill);
    }
};

} // namespace

QKLayout::Box AskTamsoStrip::underHeader(AskTamsoStrip*& strip, const QString& prompt,
                                         const QString& question, QWidget* pane) {
    using namespace QKLayout;
    QWidget* row = nullptr;
    return items({part(row = new QWidget(pane))
                      .holding(Box(Qt::Vertical, QMargins(16, 0, 16, 12), std::nullopt,
                                   {strip = new AskTamsoStrip(prompt, question, true, row)})),
                  new QKHairline(pane)});
}

AskTamsoStrip* AskTamsoStrip::addUnderHeader(QVBoxLayout* column, const QString& prompt,
                                             const QString& question, QWidget* pane) {
    AskTamsoStrip* strip = nullptr;
    underHeader(strip, prompt, question, pane).fill(column);
    return strip;
}

AskTamsoStrip::AskTamsoStrip(const QString& prompt, const QString& question, bool editable,
                             QWidget* parent)
    : QKCardSurface(14, false, parent), m_prompt(prompt), m_question(question),
      m_editable(editable) {
    using namespace QKLayout;
    row({14, 10, 14, 10}, 10,
        {part(new IconTile(this)).align(Qt::AlignVCenter),
         part(m_field = new QLineEdit(this))
             .with([&prompt](QLineEdit* field) {
                 field->setFrame(false);
                 field->setPlaceholderText(prompt);
                 QPalette clear = field->palette();
                 clear.setColor(QPalette::Base, Qt::transparent);
                 field->setPalette(clear);
                 field->setAutoFillBackground(false);
             })
             .accessibleName(prompt) // the field has no label of its own
             .font(TextStyle::Body)
             .stretch(1)
             .align(Qt::AlignVCenter),
         part(m_ask = new QKProminentButton(QStringLiteral("Ask Pendrel"), this))
             .name(QStringLiteral("askStripSend"))
             .with([](QKProminentButton* ask) { ask->setSmall(true); })
             .align(Qt::AlignVCenter)})
        .on(this);

    connect(m_field, &QLineEdit::textChanged, this, &AskTamsoStrip::updateButton);
    connect(m_field, &QLineEdit::returnPressed, this, &AskTamsoStrip::send);
    connect(m_ask, &QPushButton::clicked, this, &AskTamsoStrip::send);
    updateButton();
}

QString AskTamsoStrip::draft() const {
    return m_field->text();
}

void AskTamsoStrip::setQuestion(const QString& question) {
    m_question = question;
    updateButton();
}

std::optional<QString> AskTamsoStrip::questionToSend(const QString& draft,
                                                     const QString& question) {
    QString text = draft.trimmed();
    if (text.isEmpty())
        text = question.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

void AskTamsoStrip::send() {
    const std::optional<QString> text = questionToSend(draft(), m_question);
    if (!text)
        return;
    m_field->clear();
    NotificationCenter::defaultCenter().post(Notifications::AskTamso, *text);
}

void AskTamsoStrip::updateButton() {
    m_ask->setEnabled(questionToSend(draft(), m_question).has_value());
}

void AskTamsoStrip::mousePressEvent(QMouseEvent* event) {
    m_field->setFocus(Qt::MouseFocusReason);
    event->accept();
}
