#include "ui-kit/AIPrivacyCard.h"

#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKSymbol.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QLabel* wrapped(const QString& text, TextStyle style, std::optional<QFont::Weight> weight,
                QKForeground::Style tone, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    QKFont::apply(label, style, weight);
    QKForeground::apply(label, tone);
    return label;
}

} // namespace

AIPrivacyCard::AIPrivacyCard(QWidget* parent) : QWidget(parent) {
    auto* column = QKBuild::insetColumn(this, {18, 18, 18, 18}, 12);

    column->addWidget(
        new QKIconLabel("lock.shield.fill"_sym, QStringLiteral("Your data never leaves this Mac"),
                        QKFont{.style = TextStyle::Headline}, QKForeground::Green, this));
    column->addWidget(wrapped(QStringLiteral("Pendrel's AI runs entirely on your own machine. "
                                             "There is no account, no cloud, and no server to "
                                             "send anything to."),
                              TextStyle::Callout, std::nullopt, QKForeground::Secondary, this));

    const struct {
        SymbolName symbol;
        const char* title;
        const char* text;
    } rows[] = {
        {"wifi.slash"_sym, "Works with the internet switched off",
         "Try it: turn off Wi-Fi and Pendrel still answers. Nothing is uploaded because nothing "
         "needs to be."},
        {"cpu"_sym, "Powered by Pendrel's on-device logic",
         "Answers come from Pendrel's own rules and fixed texts, worked out from live figures on "
         "this Mac. Nothing is handed to a model in the cloud."},
        {"photo.on.rectangle.angled"_sym, "Your files and photos stay put",
         "Finding files and grouping look-alike photos uses Pendrel's own file search and image "
         "comparison. The images are read on this Mac and never copied off it."},
        {"eye.slash"_sym, "No tracking, no analytics on your content",
         "Pendrel does not read your data for advertising and does not send your files, "
         "questions, or results anywhere."},
    };
    auto* list = new QVBoxLayout;
    list->setSpacing(10);
    for (const auto& r : rows) {
        auto* row = new QHBoxLayout;
        row->setSpacing(10);
        auto* symbol =
            new QKSymbol(r.symbol, QKFont{.style = TextStyle::Body}, QKForeground::Tint, this);
        // The column keeps its width at every size; a larger glyph overhangs it evenly.
        auto* cell = new QWidget(this);
        cell->setFixedWidth(kSymbolColumn);
        auto* cellLayout = new QVBoxLayout(cell);
        cellLayout->setContentsMargins(0, 0, 0, 0);
        cellLayout->addWidget(symbol, 0, Qt::AlignHCenter | Qt::AlignTop);
        row->addWidget(cell, 0, Qt::AlignTop);

        auto* texts = new QVBoxLayout;
        texts->setSpacing(2);
        texts->addWidget(wrapped(QString::fromUtf8(r.title), TextStyle::Subheadline,
                                 QFont::DemiBold, QKForeground::Primary, this));
        texts->addWidget(wrapped(QString::fromUtf8(r.text), TextStyle::Caption, std::nullopt,
                                 QKForeground::Secondary, this));
        row->addLayout(texts, 1);
        list->addLayout(row);
    }
    column->addLayout(list);
}
