#include "ui-kit/QKBuild.h"

#include "platform/NotificationCenter.h"
#include "ui-kit/QKBorderedButton.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKProminentButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace QKBuild {

QLabel* label(const QString& text, TextStyle style, QKForeground::Style tone, QWidget* parent,
              std::optional<QFont::Weight> weight, bool wrap) {
    auto* l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(wrap);
    QKFont::apply(l, style, weight);
    QKForeground::apply(l, tone);
    return l;
}

QKLineLabel* figure(TextStyle style, QFont::Weight weight, QKForeground::Style tone,
                    QWidget* parent) {
    auto* l = new QKLineLabel(QString(), parent);
    l->setTabularDigits(true);
    QKFont::apply(l, QKFont{.style = style, .weight = weight, .monospacedDigit = true});
    QKForeground::apply(l, tone);
    return l;
}

QPushButton* button(const QString& text, bool small, QWidget* parent) {
    auto* b = new QKBorderedButton(text, parent);
    b->setSmall(small);
    return b;
}

QKProminentButton* addTile(QLayout* grid, const QString& icon, const QString& title,
                           const QString& text, const QString& button, QWidget* parent,
                           QLabel** textOut) {
    auto* box = new QKGroupBox(QString(), 8, parent);
    QKFont headlineFont;
    headlineFont.style = TextStyle::Headline;
    box->column()->addWidget(
        new QKIconLabel(icon, title, headlineFont, QKForeground::Primary, box));
    QLabel* body = label(text, TextStyle::Caption, QKForeground::Secondary, box);
    box->column()->addWidget(body);
    if (textOut)
        *textOut = body;
    auto* b = new QKProminentButton(button, box);
    b->setSmall(true);
    // Every tile's button says "Open": heard alone, it must say what it opens.
    b->setAccessibleName(
        title.startsWith(button, Qt::CaseInsensitive) ? title : button + QLatin1Char(' ') + title);
    box->column()->addWidget(b, 0, Qt::AlignLeft);
    box->column()->addStretch(1);
    grid->addWidget(box);
    return b;
}

QScrollArea* page(QVBoxLayout*& column, QWidget* owner) {
    auto* outer = new QVBoxLayout(owner);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(owner);
    outer->addWidget(scroll);
    plainScroll(scroll);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* content = new QWidget;
    column = new QVBoxLayout(content);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(16);
    column->addStretch(1);
    scroll->setWidget(content);
    content->setAutoFillBackground(false); // setWidget turns it on; the card's background shows
    return scroll;
}

QScrollArea* plainScroll(QScrollArea* scroll) {
    QKFocusRing::pageOfItsPlace(scroll);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    return scroll;
}

void addPart(QVBoxLayout* column, QWidget* part) {
    column->insertWidget(column->count() - 1, part);
}

QLabel* introPage(QVBoxLayout*& column, QWidget* owner, const QString& intro) {
    page(column, owner);
    QLabel* line =
        label(intro, TextStyle::Callout, QKForeground::Secondary, column->parentWidget());
    addPart(column, line);
    return line;
}

QKProminentButton* addAskButton(QVBoxLayout* column, const QString& text, const QString& name,
                                QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* button = new QKProminentButton(text, row);
    button->setObjectName(name);
    layout->addWidget(button);
    layout->addStretch(1);
    addPart(column, row);
    return button;
}

void ask(const QString& question) {
    NotificationCenter::defaultCenter().post(Notifications::AskTamso, question);
}

} // namespace QKBuild
