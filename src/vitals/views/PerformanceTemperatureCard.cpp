#include "vitals/views/PerformanceTemperatureCard.h"

#include "platform/SymbolName.h"
#include "shell/ScreenState.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
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

    namespace L = QKLayout; // unqualified, column() is the group box's own
    using L::part;
    L::items(
        {
            L::row({part(label(PerformanceText::temperatureTitle(), TextStyle::Headline,
                               QKForeground::Primary, body, std::nullopt, false))
                        .align(Qt::AlignVCenter),
                    L::stretch(1),
                    part(m_badge = new PerformanceBadge(body))
                        .name(QStringLiteral("temperatureBadge"))
                        .align(Qt::AlignVCenter)}),
            // Both texts sit on the bottom edge, which keeps their baselines close.
            L::row(10,
                   {part(m_reading =
                             figure(TextStyle::Title2, QFont::Bold, QKForeground::Primary, body))
                        .name(QStringLiteral("temperatureReading"))
                        .align(Qt::AlignBottom),
                    part(m_secondary = label(QString(), TextStyle::Callout, QKForeground::Secondary,
                                             body, std::nullopt, false))
                        .name(QStringLiteral("temperatureSecondary"))
                        .align(Qt::AlignBottom),
                    L::stretch(1)}),
            part(m_chipsRow = new QWidget(body))
                .name(QStringLiteral("temperatureChips"))
                .holding(chips()),
            part(m_note = label(QString(), TextStyle::Caption, QKForeground::Secondary, body))
                .name(QStringLiteral("temperatureNote")),
            becauseBlock(m_because, body),
            L::row({part(m_openSensors = button(PerformanceText::openSensorsButton(), true, body))
                        .name(QStringLiteral("temperatureOpenSensors")),
                    part(m_openFans = button(PerformanceText::openFansButton(), true, body))
                        .name(QStringLiteral("temperatureOpenFans")),
                    L::stretch(1)}),
            part(m_advice = label(QString(), TextStyle::Caption, QKForeground::Orange, body))
                .name(QStringLiteral("temperatureAdvice")),
        })
        .fill(column());
    m_because->setObjectName(QStringLiteral("temperatureBecause"));
    if (screen) {
        connect(m_openSensors, &QPushButton::clicked, screen,
                [screen] { screen->setPerformanceMode(PerformanceMode::Sensors); });
        connect(m_openFans, &QPushButton::clicked, screen,
                [screen] { screen->setPerformanceMode(PerformanceMode::Fans); });
    }
}

QKLayout::Box PerformanceTemperatureCard::chips() {
    QKLayout::Box row = QKLayout::row({0, 0, 0, 0}, 14, {});
    for (const QString& symbol : chipSymbols()) {
        auto* chip = new QKIconLabel(symbol, QString(), QKFont{.style = TextStyle::Caption},
                                     QKForeground::Secondary, m_chipsRow);
        chip->setObjectName(QStringLiteral("chip-") + symbol);
        chip->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
        m_chips.append(chip);
        row.add(chip);
    }
    row.add(QKLayout::stretch(1));
    return row;
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
