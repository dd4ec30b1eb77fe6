#include "vitals/views/PerformanceTemperatureCard.h"

#include "platform/SymbolName.h"
#include "shell/ScreenState.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLineLabel.h"
#include "vitals/PerformanceText.h"
#include "vitals/views/PerformanceBadge.h"
#include "vitals/views/PerformanceWidgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace PerformanceWidgets;
using namespace QKBuild;

namespace {

// The chips' symbols in the order PerformanceText::chips lists them.
const QStringList& chipSymbols() {
    static const QStringList symbols = {"cpu"_sym, "rectangle.on.rectangle"_sym, "fan"_sym};
    return symbols;
}

} // namespace

PerformanceTemperatureCard::PerformanceTemperatureCard(ScreenState* screen, QWidget* parent)
    : PerformanceGroupBox(QString(), 8, parent) {
    QWidget* body = card();

    auto* header = new QHBoxLayout;
    header->addWidget(label(QStringLiteral("Temperature"), TextStyle::Headline,
                            QKForeground::Primary, body, std::nullopt, false),
                      0, Qt::AlignVCenter);
    header->addStretch(1);
    m_badge = new PerformanceBadge(body);
    header->addWidget(m_badge, 0, Qt::AlignVCenter);
    column()->addLayout(header);

    // Both texts sit on the bottom edge, which keeps their baselines close.
    auto* readingRow = new QHBoxLayout;
    readingRow->setSpacing(10);
    m_reading = figure(TextStyle::Title2, QFont::Bold, QKForeground::Primary, body);
    m_reading->setObjectName(QStringLiteral("temperatureReading"));
    m_secondary =
        label(QString(), TextStyle::Callout, QKForeground::Secondary, body, std::nullopt, false);
    m_secondary->setObjectName(QStringLiteral("temperatureSecondary"));
    readingRow->addWidget(m_reading, 0, Qt::AlignBottom);
    readingRow->addWidget(m_secondary, 0, Qt::AlignBottom);
    readingRow->addStretch(1);
    column()->addLayout(readingRow);

    m_chipsRow = new QWidget(body);
    m_chipsRow->setObjectName(QStringLiteral("temperatureChips"));
    auto* chips = QKBuild::insetRow(m_chipsRow, {0, 0, 0, 0}, 14);
    for (const QString& symbol : chipSymbols()) {
        auto* chip = new QKIconLabel(symbol, QString(), QKFont{.style = TextStyle::Caption},
                                     QKForeground::Secondary, m_chipsRow);
        chip->setObjectName(QStringLiteral("chip-") + symbol);
        chip->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
        m_chips.append(chip);
        chips->addWidget(chip);
    }
    chips->addStretch(1);
    column()->addWidget(m_chipsRow);

    m_note = label(QString(), TextStyle::Caption, QKForeground::Secondary, body);
    m_note->setObjectName(QStringLiteral("temperatureNote"));
    column()->addWidget(m_note);

    m_because = addBecauseBlock(column(), body);
    m_because->setObjectName(QStringLiteral("temperatureBecause"));

    auto* links = new QHBoxLayout;
    m_openSensors = button(QStringLiteral("Open Sensors"), true, body);
    m_openFans = button(QStringLiteral("Open Fans"), true, body);
    links->addWidget(m_openSensors);
    links->addWidget(m_openFans);
    links->addStretch(1);
    column()->addLayout(links);
    if (screen) {
        connect(m_openSensors, &QPushButton::clicked, screen,
                [screen] { screen->setPerformanceMode(PerformanceMode::Sensors); });
        connect(m_openFans, &QPushButton::clicked, screen,
                [screen] { screen->setPerformanceMode(PerformanceMode::Fans); });
    }

    m_advice = label(QString(), TextStyle::Caption, QKForeground::Orange, body);
    m_advice->setObjectName(QStringLiteral("temperatureAdvice"));
    column()->addWidget(m_advice);
}

void PerformanceTemperatureCard::showSnapshot(const SystemSnapshot& s) {
    const ThermalSnapshot& t = s.thermal;
    if (const std::optional<PerformanceText::Level> level = PerformanceText::temperatureLevel(s))
        m_badge->setLevel(*level);
    else
        m_badge->set(pressureWord(t.pressure), PerformanceText::Tone::Neutral);
    m_reading->setText(t.temperatureLabel());
    m_secondary->setText(t.secondaryLabel());

    const bool showChips = PerformanceText::showsChips(t);
    m_chipsRow->setVisible(showChips);
    m_note->setVisible(!showChips);
    m_note->setText(PerformanceText::noSensorsNote(t.pressure));
    const QList<PerformanceText::Chip> chips = PerformanceText::chips(t);
    for (int i = 0; i < m_chips.size(); ++i) {
        const QString& symbol = chipSymbols().at(i);
        const auto it =
            std::find_if(chips.cbegin(), chips.cend(),
                         [&](const PerformanceText::Chip& c) { return c.symbol == symbol; });
        m_chips[i]->setVisible(it != chips.cend());
        if (it != chips.cend())
            m_chips[i]->setText(it->text);
    }

    m_because->setText(s.thermalExplanation());
    const std::optional<QString> advice = PerformanceText::temperatureAdvice(t.pressure);
    m_advice->setVisible(advice.has_value());
    m_advice->setText(advice.value_or(QString()));
}

QList<QKIconLabel*> PerformanceTemperatureCard::visibleChips() const {
    QList<QKIconLabel*> out;
    for (QKIconLabel* chip : m_chips) {
        if (!chip->isHidden())
            out.append(chip);
    }
    return out;
}
