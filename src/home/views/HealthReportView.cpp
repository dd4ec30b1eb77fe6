#include "home/views/HealthReportView.h"

#include "home/HealthCheck.h"
#include "home/HealthReportText.h"
#include "home/views/HomeTint.h"
#include "platform/NotificationCenter.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKSymbol.h"
#include "vitals/AppState.h"

#include <QDate>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

// What the page's focus ring needs between it and the page's edge: its width.
constexpr int kRingRoom = 3;

// One card of live figures: symbol, title, value and a one-line detail.
class ReportCard : public QKCardSurface {
public:
    explicit ReportCard(QWidget* parent) : QKCardSurface(12, false, parent) {
        using namespace QKLayout;
        column({14, 12, 14, 12}, 4,
               {row(6, {part(m_symbol = new QKSymbol(QString(), QKFont{.style = TextStyle::Callout},
                                                     QKForeground::Tint, this))
                            .align(Qt::AlignVCenter),
                        part(m_title = QKBuild::label(QString(), TextStyle::Caption,
                                                      QKForeground::Secondary, this,
                                                      QFont::DemiBold, false))
                            .stretch(1)
                            .align(Qt::AlignVCenter)}),
                part(m_value = QKBuild::label(QString(), TextStyle::Title2, QKForeground::Primary,
                                              this, QFont::Bold, false))
                    .name(QStringLiteral("reportCardValue")),
                part(m_detail = QKBuild::label(QString(), TextStyle::Caption,
                                               QKForeground::Secondary, this))
                    .name(QStringLiteral("reportCardDetail")),
                stretch(1)})
            .on(this);
    }

    void setCard(const HealthReportText::Card& card) {
        setObjectName(QStringLiteral("reportCard-") + card.title);
        m_symbol->setSymbol(card.icon);
        m_title->setText(card.title);
        m_value->setText(card.value);
        m_detail->setText(card.detail);
    }

private:
    QKSymbol* m_symbol;
    QLabel* m_title;
    QLabel* m_value;
    QLabel* m_detail;
};

void setTextColor(QWidget* w, const QColor& color) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, color);
    w->setPalette(pal);
}

} // namespace

void HealthReportView::summaryRows(QKGroupBox* summary) {
    using namespace QKLayout;
    QWidget* card = summary->card();
    // Storage, performance and recovery potential: a name and its value a row.
    const auto name = [card](const QString& text) {
        return QKBuild::label(text, TextStyle::Callout, QKForeground::Secondary, card, std::nullopt,
                              false);
    };
    const auto value = [card] {
        return QKBuild::label(QString(), TextStyle::Callout, QKForeground::Primary, card,
                              QFont::DemiBold);
    };
    column(
        {
            row(24,
                {// The score is coloured by its own tone, so not through QKForeground (which would
                 // keep it primary).
                 column(0,
                        {part(m_score = new QLabel(card))
                             .with([](QLabel* l) {
                                 l->setTextFormat(Qt::PlainText);
                                 l->setAlignment(Qt::AlignHCenter);
                             })
                             .font(QKFont{.style = TextStyle::LargeTitle, .weight = QFont::Bold})
                             .name(QStringLiteral("reportScore"))
                             .align(Qt::AlignHCenter),
                         part(QKBuild::label(HealthReportText::scoreCaption(), TextStyle::Caption,
                                             QKForeground::Secondary, card, std::nullopt, false))
                             .align(Qt::AlignHCenter)}),
                 grid(16, 6,
                      {{name(HealthReportText::storageName()),
                        part(m_storage = value()).name(QStringLiteral("reportStorage"))},
                       {name(HealthReportText::performanceName()),
                        part(m_performance = value()).name(QStringLiteral("reportPerformance"))},
                       {name(HealthReportText::recoveryName()),
                        part(m_recovery = value()).name(QStringLiteral("reportRecovery"))}})
                     .stretchColumn(1, 1)
                     .stretch(1)}),
            part(m_failure =
                     QKBuild::label(QString(), TextStyle::Caption, QKForeground::Secondary, card))
                .name(QStringLiteral("reportFailure"))
                .with([](QWidget* w) { w->hide(); }),
        })
        .fill(summary->column());
}

HealthReportView::HealthReportView(AppState& appState, HealthCheck& health, QWidget* parent)
    : QWidget(parent), m_appState(appState), m_health(health) {
    setObjectName(QStringLiteral("healthReportView"));
    setWindowTitle(HealthReportText::windowTitle());
    // While the report holds no button the page itself is the Tab stop, and its ring runs round
    // its edge: the page stands kRingRoom inside the view, so the ring never meets whatever is
    // beside the report (the window behind a section's card).
    using namespace QKLayout;
    QWidget* pageHost = nullptr;
    column({kRingRoom, kRingRoom, kRingRoom, kRingRoom}, {part(pageHost = new QWidget(this))})
        .on(this);
    QVBoxLayout* page = nullptr;
    QWidget* content = QKBuild::page(page, pageHost)->widget();

    QWidget* header = nullptr;
    QKGroupBox* summary = nullptr;
    column({
               part(header = new QWidget(content))
                   .holding(column(
                       {0, 0, 0, 0}, 4,
                       {QKBuild::label(HealthReportText::title(), TextStyle::Title2,
                                       QKForeground::Primary, header, QFont::Bold),
                        part(QKBuild::label(HealthReportText::dateLine(QDate::currentDate()),
                                            TextStyle::Callout, QKForeground::Secondary, header))
                            .name(QStringLiteral("reportDate")),
                        QKBuild::label(HealthReportText::subtitle(), TextStyle::Caption,
                                       QKForeground::Tertiary, header)})),
               part(summary = new QKGroupBox(QString(), 8, content))
                   .name(QStringLiteral("reportSummary"))
                   .with([this](QKGroupBox* box) { summaryRows(box); }),
               part(m_cardsGrid = new QWidget(content))
                   .name(QStringLiteral("reportCards"))
                   .holding([this] {
                       Tiles cards = tiles(200, 14);
                       for (int i = 0; i < 6; ++i)
                           cards.add(m_cards.emplace_back(new ReportCard(m_cardsGrid)));
                       return cards;
                   }()),
               part(m_recommendations =
                        new QKGroupBox(HealthReportText::recommendationsTitle(), 10, content))
                   .name(QStringLiteral("reportRecommendations")),
           })
        .fillPage(page);
    m_rows = m_recommendations->column();

    connect(&appState, &AppState::snapshotChanged, this, &HealthReportView::refresh);
    connect(&health, &HealthCheck::junkChanged, this, &HealthReportView::refresh);
    connect(&health, &HealthCheck::bigFilesChanged, this, &HealthReportView::refresh);
    refresh();
}

void HealthReportView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous() || m_appeared)
        return;
    m_appeared = true;
    if (!m_health.lastRun() && !m_health.isChecking()) {
        m_health.refreshJunk();
        m_health.refreshBigFiles();
    }
}

void HealthReportView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange && m_score)
        setTextColor(m_score, HomeTint::color(m_scoreTone, palette()));
    QWidget::changeEvent(event);
}

void HealthReportView::refresh() {
    const SystemSnapshot& s = m_appState.snapshot();
    const int score = HealthReportText::healthScore(s);
    m_score->setText(QString::number(score));
    m_scoreTone = HealthReportText::scoreTone(score);
    setTextColor(m_score, HomeTint::color(m_scoreTone, palette()));
    m_storage->setText(HealthReportText::storageValue(s));
    m_performance->setText(HealthReportText::performanceVerdict(s));
    m_recovery->setText(HealthReportText::recoveryPotential(m_health.recoverableBytes()));

    QStringList failures;
    const HealthCheck::Status junk = m_health.junk();
    for (const HealthCheck::Status& status : {junk, m_health.bigFiles()}) {
        if (status.phase == ScanPhase::Failed)
            failures.append(status.failure);
    }
    m_failure->setText(failures.join(QLatin1Char(' ')));
    m_failure->setHidden(failures.isEmpty());

    const QList<HealthReportText::Card> cards = HealthReportText::cards(s);
    for (int i = 0; i < cards.size() && i < m_cards.size(); ++i)
        static_cast<ReportCard*>(m_cards.at(i))->setCard(cards.at(i));

    const HealthCheck::Finding* found = junk.doneFinding();
    rebuildRecommendations(s, found ? found->bytes : 0);
}

void HealthReportView::rebuildRecommendations(const SystemSnapshot& s, qint64 junkBytes) {
    const QList<HealthReportText::Recommendation> list =
        HealthReportText::recommendations(s, junkBytes);
    QStringList key;
    for (const auto& r : list)
        key << r.text + QLatin1Char('\n') + r.section.value_or(QString());
    if (key == m_rowKey)
        return;
    m_rowKey = key;
    // The old rows leave the screen at once (only the rows on show are found in it) and go once
    // control has left them: a row's own button may have asked for this refresh.
    while (QLayoutItem* item = m_rows->takeAt(0)) {
        if (QWidget* w = item->widget()) {
            w->hide();
            w->setParent(nullptr);
            w->deleteLater();
        }
        delete item;
    }
    using namespace QKLayout;
    QWidget* parent = m_recommendations->card();
    for (const auto& r : list) {
        auto* line = new QWidget(parent);
        Box content =
            row({0, 0, 0, 0}, 12,
                {part(QKBuild::label(r.text, TextStyle::Body, QKForeground::Primary, line))
                     .name(QStringLiteral("recommendationText"))
                     .stretch(1)
                     .align(Qt::AlignVCenter)});
        if (r.section) {
            QPushButton* open = QKBuild::button(HealthReportText::openTitle(), true, line);
            content.add(part(open)
                            .name(QStringLiteral("recommendationOpen"))
                            .accessibleName(HealthReportText::openName(*r.section))
                            .align(Qt::AlignVCenter));
            const QString section = *r.section;
            connect(open, &QPushButton::clicked, this, [section] {
                NotificationCenter::defaultCenter().post(Notifications::OpenSection, section);
            });
        }
        items({part(line).name(QStringLiteral("reportRecommendation")).holding(content)})
            .fill(m_rows);
    }
}
