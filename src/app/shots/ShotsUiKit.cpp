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
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/TamsoExplainRow.h"
#include "ui-kit/TextSizeControl.h"
#include "ui-kit/Themed.h"
#include "ui-kit/ThemeSettings.h"

#include <memory>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* sectionTitle(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QKFont::apply(label, TextStyle::Caption2, QFont::DemiBold);
    QKForeground::apply(label, QKForeground::Secondary);
    return label;
}

QWidget* explainRows(QWidget* parent) {
    auto* card = new QKCardSurface(14, true, parent);
    auto* col = QKBuild::insetColumn(card, {16, 10, 16, 10}, 2);

    auto* safe = new TamsoExplainRow(QStringLiteral("App caches"), formatBytes(2'684'354'560),
                                     QStringLiteral("Temporary files apps rebuild on their own. "
                                                    "Clearing them is harmless."),
                                     card);
    safe->setSafety(TamsoSafety::Safe);
    safe->setSelected(true);
    col->addWidget(safe);

    auto* caution = new TamsoExplainRow(
        QStringLiteral("Old downloads"), formatBytes(913'500'000),
        QStringLiteral("Files in Downloads you have not opened for 90 days. Have a look before "
                       "they go: some may be installers you still want."),
        card);
    caution->setSafety(TamsoSafety::CheckFirst);
    caution->setSelected(false);
    caution->setMeta(QStringLiteral("143 files · oldest from March"));
    col->addWidget(caution);

    auto* risky = new TamsoExplainRow(QStringLiteral("Mail attachments"), formatBytes(48'200'000),
                                      QStringLiteral("Measured so you know; Pendrel never "
                                                     "removes them."),
                                      card);
    risky->setSafety(TamsoSafety::Risky);
    risky->setSelected(true);
    risky->setLocked(true);
    col->addWidget(risky);

    auto* keep = new TamsoExplainRow(
        QStringLiteral("Project archives from the long-finished client engagement of 2019 and "
                       "everything that came with it"),
        formatBytes(12'400'000'000), QStringLiteral("Large folders you created yourself."), card);
    keep->setSafety(TamsoSafety::Keep);
    auto* reveal = new QKBorderedButton(QStringLiteral("Show"));
    reveal->setSmall(true);
    keep->setTrailing(reveal);
    col->addWidget(keep);

    auto* plain = new TamsoExplainRow(QStringLiteral("Logs"), formatBytes(0),
                                      QStringLiteral("Nothing here right now."), card);
    plain->setMeta(QString());
    col->addWidget(plain);
    return card;
}

QWidget* splitterDemo(QWidget* parent) {
    auto* card = new QKCardSurface(14, false, parent);
    card->setMinimumHeight(150);
    auto* row = QKBuild::insetRow(card, {1, 1, 1, 1}, 0);
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
    row->addWidget(main, 1);
    row->addWidget(divider);
    row->addWidget(pane);
    return card;
}

QWidget* sidebarFooter(QWidget* parent) {
    auto* strip = new QWidget(parent);
    Themed::applyScheme(strip, ColorScheme::Dark);
    strip->setAutoFillBackground(true);
    QPalette pal = strip->palette();
    pal.setColor(QPalette::Window, Color::brandBlue().darker(160));
    strip->setPalette(pal);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(12, 8, 12, 8);
    auto* version = new QLabel(QStringLiteral("Pendrel v0.2.0 (1)"), strip);
    QKFont::apply(version, TextStyle::Caption2);
    QKForeground::apply(version, QKForeground::Secondary);
    row->addWidget(version);
    row->addStretch(1);
    row->addWidget(new TextSizeControl(strip));
    return strip;
}

std::unique_ptr<QWidget> gallery() {
    auto page = std::make_unique<QWidget>();
    Themed::apply(page.get());
    page->resize(1180, 900);
    auto* columns = QKBuild::insetRow(page.get(), {24, 24, 24, 24}, 24);

    auto* left = new QVBoxLayout;
    left->setSpacing(10);
    left->addWidget(sectionTitle(QStringLiteral("EXPLAIN ROWS AND SAFETY GRADES"), page.get()));
    left->addWidget(explainRows(page.get()));
    left->addSpacing(8);
    left->addWidget(sectionTitle(QStringLiteral("ASK STRIP"), page.get()));
    left->addWidget(new AskTamsoStrip(QStringLiteral("Ask about these files…"),
                                      QStringLiteral("What is safe to clean here?"), true,
                                      page.get()));
    auto* typed =
        new AskTamsoStrip(QStringLiteral("Ask about your storage…"), QString(), true, page.get());
    typed->field()->setText(QStringLiteral("Why is my Downloads folder so big?"));
    left->addWidget(typed);
    left->addWidget(
        new AskTamsoStrip(QStringLiteral("Ask anything…"), QString(), true, page.get()));
    left->addSpacing(8);
    left->addWidget(sectionTitle(QStringLiteral("SIDEBAR TEXT SIZE"), page.get()));
    left->addWidget(sidebarFooter(page.get()));
    left->addStretch(1);
    columns->addLayout(left, 11);

    auto* right = new QVBoxLayout;
    right->setSpacing(10);
    right->addWidget(sectionTitle(QStringLiteral("EMPTY STATE"), page.get()));
    auto* emptyCard = new QKCardSurface(14, false, page.get());
    auto* emptyLayout = new QVBoxLayout(emptyCard);
    emptyLayout->setContentsMargins(0, 0, 0, 0);
    auto* empty = new QKEmptyState(
        QStringLiteral("No scan yet"), "magnifyingglass"_sym,
        QStringLiteral("Pick a folder and Pendrel will list its largest files, biggest first. "
                       "Nothing is moved until you say so."),
        emptyCard);
    auto* retry = new QKBorderedButton(QStringLiteral("Try again"));
    empty->addActionWidget(retry);
    emptyLayout->addWidget(empty);
    emptyCard->setMinimumHeight(250);
    right->addWidget(emptyCard);
    right->addSpacing(8);
    right->addWidget(sectionTitle(QStringLiteral("SPLITTER"), page.get()));
    right->addWidget(splitterDemo(page.get()));
    right->addSpacing(8);
    right->addWidget(sectionTitle(QStringLiteral("PRIVACY CARD"), page.get()));
    right->addWidget(QKCardSurface::wrap(new AIPrivacyCard, 14, true, page.get()));
    right->addStretch(1);
    columns->addLayout(right, 10);
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
