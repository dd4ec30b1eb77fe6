#include "app/shots/Shots.h"

#include "platform/ByteFormat.h"
#include "platform/SymbolName.h"
#include "platform/UserDefaults.h"
#include "ui-kit/AIPrivacyCard.h"
#include "ui-kit/AskTamsoStrip.h"
#include "ui-kit/Color.h"
#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DraggableDivider.h"
#include "ui-kit/QKBorderedButton.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/TamsoExplainRow.h"
#include "ui-kit/TextSizeControl.h"
#include "ui-kit/Themed.h"
#include "ui-kit/ThemeSettings.h"

#include <memory>
#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLabel* sectionTitle(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QKFont::apply(label, TextStyle::Caption2, QFont::DemiBold);
    QKForeground::apply(label, QKForeground::Secondary);
    return label;
}

QWidget* explainRows(QWidget* parent) {
    auto* card = new QKCardSurface(14, true, parent);

    auto* safe = new TamsoExplainRow(QStringLiteral("App caches"), formatBytes(2'684'354'560),
                                     QStringLiteral("Temporary files apps rebuild on their own. "
                                                    "Clearing them is harmless."),
                                     card);
    safe->setSafety(TamsoSafety::Safe);
    safe->setSelected(true);

    auto* caution = new TamsoExplainRow(
        QStringLiteral("Old downloads"), formatBytes(913'500'000),
        QStringLiteral("Files in Downloads you have not opened for 90 days. Have a look before "
                       "they go: some may be installers you still want."),
        card);
    caution->setSafety(TamsoSafety::CheckFirst);
    caution->setSelected(false);
    caution->setMeta(QStringLiteral("143 files · oldest from March"));

    auto* risky = new TamsoExplainRow(QStringLiteral("Mail attachments"), formatBytes(48'200'000),
                                      QStringLiteral("Measured so you know; Pendrel never "
                                                     "removes them."),
                                      card);
    risky->setSafety(TamsoSafety::Risky);
    risky->setSelected(true);
    risky->setLocked(true);

    auto* keep = new TamsoExplainRow(
        QStringLiteral("Project archives from the long-finished client engagement of 2019 and "
                       "everything that came with it"),
        formatBytes(12'400'000'000), QStringLiteral("Large folders you created yourself."), card);
    keep->setSafety(TamsoSafety::Keep);
    auto* reveal = new QKBorderedButton(QStringLiteral("Show"));
    reveal->setSmall(true);
    keep->setTrailing(reveal);

    auto* plain = new TamsoExplainRow(QStringLiteral("Logs"), formatBytes(0),
                                      QStringLiteral("Nothing here right now."), card);
    plain->setMeta(QString());

    QKLayout::column({16, 10, 16, 10}, 2, {safe, caution, risky, keep, plain}).on(card);
    return card;
}

QWidget* splitterDemo(QWidget* parent) {
    auto* card = new QKCardSurface(14, false, parent);
    card->setMinimumHeight(150);
    auto* main = new QLabel(QStringLiteral("Main content"), card);
    main->setAlignment(Qt::AlignCenter);
    QKForeground::apply(main, QKForeground::Secondary);
    auto* pane = new QLabel(QStringLiteral("Side pane\n260 points"), card);
    pane->setAlignment(Qt::AlignCenter);
    QKFont::apply(pane, TextStyle::Callout);
    auto* divider = new DraggableDivider(260, 200, 460, true, card);
    pane->setFixedWidth(int(divider->paneWidth()));
    QObject::connect(divider, &DraggableDivider::paneWidthChanged, pane, [pane](qreal w) {
        pane->setFixedWidth(int(w));
        pane->setText(QStringLiteral("Side pane\n%1 points").arg(qint64(w)));
    });
    using namespace QKLayout;
    row({1, 1, 1, 1}, 0, {part(main).stretch(1), divider, pane}).on(card);
    return card;
}

QWidget* sidebarFooter(QWidget* parent) {
    auto* strip = new QWidget(parent);
    Themed::applyScheme(strip, ColorScheme::Dark);
    strip->setAutoFillBackground(true);
    QPalette pal = strip->palette();
    pal.setColor(QPalette::Window, Color::brandBlue().darker(160));
    strip->setPalette(pal);
    using namespace QKLayout;
    row({12, 8, 12, 8}, {part(new QLabel(QStringLiteral("Pendrel v0.2.0 (1)"), strip))
                             .font(TextStyle::Caption2)
                             .ink(QKForeground::Secondary),
                         stretch(1), new TextSizeControl(strip)})
        .on(strip);
    return strip;
}

std::unique_ptr<QWidget> gallery() {
    auto page = std::make_unique<QWidget>();
    Themed::apply(page.get());
    page->resize(1180, 900);
    QWidget* p = page.get();

    using namespace QKLayout;
    QKCardSurface* emptyCard = nullptr;
    row({24, 24, 24, 24}, 24,
        {column(
             10,
             {sectionTitle(QStringLiteral("EXPLAIN ROWS AND SAFETY GRADES"), p), explainRows(p),
              space(8), sectionTitle(QStringLiteral("ASK STRIP"), p),
              new AskTamsoStrip(QStringLiteral("Ask about these files…"),
                                QStringLiteral("What is safe to clean here?"), true, p),
              part(new AskTamsoStrip(QStringLiteral("Ask about your storage…"), QString(), true, p))
                  .with([](AskTamsoStrip* typed) {
                      typed->field()->setText(QStringLiteral("Why is my Downloads folder so big?"));
                  }),
              new AskTamsoStrip(QStringLiteral("Ask anything…"), QString(), true, p), space(8),
              sectionTitle(QStringLiteral("SIDEBAR TEXT SIZE"), p), sidebarFooter(p), stretch(1)})
             .stretch(11),
         column(10, {sectionTitle(QStringLiteral("EMPTY STATE"), p),
                     part(emptyCard = new QKCardSurface(14, false, p))
                         .holding(column(
                             {0, 0, 0, 0},
                             {part(new QKEmptyState(
                                       QStringLiteral("No scan yet"), "magnifyingglass"_sym,
                                       QStringLiteral("Pick a folder and Pendrel will list its "
                                                      "largest files, biggest first. Nothing is "
                                                      "moved until you say so."),
                                       emptyCard))
                                  .with([](QKEmptyState* empty) {
                                      empty->addActionWidget(
                                          new QKBorderedButton(QStringLiteral("Try again")));
                                  })}))
                         .with([](QKCardSurface* card) { card->setMinimumHeight(250); }),
                     space(8), sectionTitle(QStringLiteral("SPLITTER"), p), splitterDemo(p),
                     space(8), sectionTitle(QStringLiteral("PRIVACY CARD"), p),
                     QKCardSurface::wrap(new AIPrivacyCard, 14, true, p), stretch(1)})
             .stretch(10)})
        .on(p);
    return page;
}

} // namespace

// The gallery of shared pieces and the delete sheet, at the smallest and largest text size, in
// light and dark appearance.
void renderUiKitShots(ShotContext& ctx) {
    ctx.eachLook([&](const ShotLook& look) {
        const QString suffix =
            QStringLiteral("%1-step%2").arg(look.appearance().toLower()).arg(look.step);
        std::unique_ptr<QWidget> page = gallery();
        QLayout* layout = page->layout();
        layout->activate();
        const int height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(1180)
                                                       : page->sizeHint().height();
        page->resize(1180, std::max(height, 860));
        ctx.save(page.get(), QStringLiteral("uikit-gallery-") + suffix);

        auto* sheet = new DeleteCodeSheet(
            QStringLiteral("Move 3 items to the Trash?"),
            QStringLiteral("App caches, Old downloads and Logs (3.6 GB) go to the Trash. You "
                           "can put them back from there until you empty it."),
            QStringLiteral("Move to Trash"), [] {}, [] {}, page.get(), Shots::fixedCode());
        sheet->setWindowModality(Qt::NonModal);
        ctx.save(sheet, QStringLiteral("uikit-delete-sheet-") + suffix);
        sheet->entryField()->setText(sheet->code());
        ctx.save(sheet, QStringLiteral("uikit-delete-sheet-typed-") + suffix);
        sheet->hide();
        page->hide();
    });
}
