#include "ui-kit/AIPrivacyCard.h"

#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKSymbol.h"

#include <QLabel>

AIPrivacyCard::AIPrivacyCard(QWidget* parent) : QWidget(parent) {
    using namespace QKLayout;
    auto* heading =
        new QKIconLabel("lock.shield.fill"_sym, QStringLiteral("Your data never leaves this Mac"),
                        QKFont{.style = TextStyle::Headline}, QKForeground::Green, this);
    QLabel* intro = QKBuild::label(QStringLiteral("Pendrel's AI runs entirely on your own "
                                                  "machine. There is no account, no cloud, and "
                                                  "no server to send anything to."),
                                   TextStyle::Callout, QKForeground::Secondary, this);

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
    Box list = column(10, {});
    for (const auto& r : rows) {
        auto* symbol =
            new QKSymbol(r.symbol, QKFont{.style = TextStyle::Body}, QKForeground::Tint, this);
        // The column keeps its width at every size; a larger glyph overhangs it evenly.
        auto* cell = new QWidget(this);
        cell->setFixedWidth(kSymbolColumn);
        column({0, 0, 0, 0}, {part(symbol).align(Qt::AlignHCenter | Qt::AlignTop)}).on(cell);
        list.add(
            row(10, {part(cell).align(Qt::AlignTop),
                     column(2, {QKBuild::label(QString::fromUtf8(r.title), TextStyle::Subheadline,
                                               QKForeground::Primary, this, QFont::DemiBold),
                                QKBuild::label(QString::fromUtf8(r.text), TextStyle::Caption,
                                               QKForeground::Secondary, this)})
                         .stretch(1)}));
    }
    column({18, 18, 18, 18}, 12, {heading, intro, list}).on(this);
}
