#include "vitals/views/PerformanceSensorsPage.h"

#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKProminentButton.h"
#include "vitals/PerformanceText.h"
#include "vitals/SystemSnapshot.h"
#include "vitals/views/PerformanceBadge.h"
#include "vitals/views/PerformanceGroupBox.h"
#include "vitals/views/PerformanceSensorRow.h"
#include "vitals/views/PerformanceView.h"
#include "vitals/views/PerformanceWidgets.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace PerformanceWidgets;
using namespace QKBuild;
namespace Text = PerformanceText;

PerformanceSensorsPage::PerformanceSensorsPage(QWidget* parent)
    : PerformancePage(Text::sensorsIntro(), parent) {
    setObjectName(QStringLiteral("performanceSensors"));
    auto* pressure = addBox(QString(), 8, QStringLiteral("pressureCard"));
    QWidget* body = pressure->card();
    using namespace QKLayout;
    items({row({part(label(Text::pressureTitle(), TextStyle::Headline, QKForeground::Primary, body,
                           std::nullopt, false))
                    .align(Qt::AlignVCenter),
                stretch(1),
                part(m_badge = new PerformanceBadge(body))
                    .name(QStringLiteral("pressureBadge"))
                    .align(Qt::AlignVCenter)})})
        .fill(pressure->column());
    m_sentence = pressure->addLabel(QString(), TextStyle::Callout, QKForeground::Primary,
                                    QStringLiteral("pressureSentence"));
    m_sourceNote = pressure->addLabel(QString(), TextStyle::Caption, QKForeground::Secondary,
                                      QStringLiteral("pressureSourceNote"));

    m_empty = addBox(QString(), 8, QStringLiteral("noSensorsBox"));
    m_empty->addLabel(Text::noSensorsTitle(), TextStyle::Headline, QKForeground::Primary);
    m_emptyText = m_empty->addLabel(QString(), TextStyle::Callout, QKForeground::Secondary,
                                    QStringLiteral("noSensorsText"));

    m_sensorsBox = addBox(Text::sensorsTitle(), 0, QStringLiteral("sensorsBox"));

    m_causeBox = addBox(Text::likelyCauseTitle(), 6, QStringLiteral("causeBox"));
    m_causeName = m_causeBox->addLabel(QString(), TextStyle::Headline, QKForeground::Primary,
                                       QStringLiteral("causeName"));
    m_causeExplanation =
        m_causeBox->addLabel(QString(), TextStyle::Callout, QKForeground::Secondary);

    m_ask =
        addAskButton(m_column, Text::askHeatSensorsButton(), QStringLiteral("askHeat"), m_content);
    connect(m_ask, &QPushButton::clicked, this, &PerformanceView::askAboutHeat);
}

void PerformanceSensorsPage::showSnapshot(const SystemSnapshot& s) {
    const ThermalSnapshot::Pressure p = s.thermal.pressure;
    m_badge->set(pressureWord(p), Text::pressureTone(p, s.cpuPercent));
    m_sentence->setText(Text::pressureSentence(p));
    m_sourceNote->setText(Text::pressureSourceNote(p));
    m_emptyText->setText(Text::noSensorsText(p));

    const QList<HardwareSensor>& sensors = s.thermal.sensors;
    m_empty->setVisible(sensors.isEmpty());
    m_sensorsBox->setVisible(!sensors.isEmpty());
    QStringList keys;
    for (const HardwareSensor& sensor : sensors)
        keys.append(sensor.key);
    if (keys != m_rowKeys) {
        for (PerformanceSensorRow* row : std::as_const(m_rows)) {
            row->hide();
            row->deleteLater();
        }
        m_rows.clear();
        for (qsizetype i = 0; i < sensors.size(); ++i) {
            auto* row = new PerformanceSensorRow(m_sensorsBox->card());
            row->setObjectName(QStringLiteral("sensorRow"));
            QKLayout::items({row}).fill(m_sensorsBox->column());
            // A widget added to a layout whose parent is already on screen is not shown by
            // addWidget: the layout queues the show on the event loop, and until that call runs
            // the row and its divider read as hidden. Whether it has run when the page is next
            // looked at (or painted) depends on timing, so the page shows its rows itself and is
            // complete when this function returns.
            row->show();
            m_rows.append(row);
        }
        m_rowKeys = keys;
    }
    for (qsizetype i = 0; i < sensors.size(); ++i)
        m_rows[i]->showSensor(sensors.at(i), sensors.at(i).key != sensors.constLast().key);

    const std::optional<Text::LikelyCause> cause = Text::likelyCause(s);
    m_causeBox->setVisible(cause.has_value());
    if (cause) {
        m_causeName->setText(cause->appName);
        m_causeExplanation->setText(cause->explanation);
    }
}
