#include "developer/views/DevAwakePane.h"

#include "developer/DeveloperText.h"
#include "ui-kit/AskTamsoStrip.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/ToggleSwitch.h"
#include "vitals/KeepAwakeManager.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

DevAwakePane::DevAwakePane(KeepAwakeManager& keepAwake, QWidget* parent)
    : QWidget(parent), m_keepAwake(keepAwake) {
    setObjectName(QStringLiteral("devAwakePane"));
    QVBoxLayout* column = nullptr;
    QKBuild::page(column, this);

    m_ask =
        new AskTamsoStrip(DeveloperText::awakeAskPrompt(), DeveloperText::awakeAskQuestion(), true);
    QKBuild::addPart(column, m_ask);
    QKBuild::addPart(column, QKBuild::label(DeveloperText::awakeHeading(), TextStyle::Title2,
                                            QKForeground::Primary, nullptr, QFont::Bold));
    QKBuild::addPart(column, QKBuild::label(DeveloperText::awakeIntro(), TextStyle::Callout,
                                            QKForeground::Secondary, nullptr));

    auto* controls = new QKGroupBox(QString(), 14);
    QWidget* card = controls->card();
    auto* statusRow = new QHBoxLayout;
    auto* statusLines = new QVBoxLayout;
    statusLines->setSpacing(4);
    m_title = QKBuild::label(QString(), TextStyle::Headline, QKForeground::Primary, card);
    m_title->setObjectName(QStringLiteral("awakeTitle"));
    m_status = QKBuild::label(QString(), TextStyle::Callout, QKForeground::Secondary, card);
    m_status->setObjectName(QStringLiteral("awakeStatus"));
    statusLines->addWidget(m_title);
    statusLines->addWidget(m_status);
    statusRow->addLayout(statusLines, 1);
    m_main = new ToggleSwitch(QString(), card);
    m_main->setObjectName(QStringLiteral("awakeMain"));
    m_main->setAccessibleName(DeveloperText::awakeHeading());
    statusRow->addWidget(m_main, 0, Qt::AlignTop);
    controls->column()->addLayout(statusRow);
    controls->column()->addWidget(new QKHairline(card));

    m_display = new ToggleSwitch(DeveloperText::awakeDisplaySwitch(), card);
    controls->column()->addWidget(m_display);
    controls->column()->addWidget(QKBuild::label(
        DeveloperText::awakeDisplayNote(), TextStyle::Caption, QKForeground::Secondary, card));
    m_power = new ToggleSwitch(DeveloperText::awakePowerSwitch(), card);
    controls->column()->addWidget(m_power);
    controls->column()->addWidget(QKBuild::label(
        DeveloperText::awakePowerNote(), TextStyle::Caption, QKForeground::Secondary, card));

    auto* durationRow = new QHBoxLayout;
    durationRow->addWidget(QKBuild::label(DeveloperText::awakeDurationLabel(), TextStyle::Body,
                                          QKForeground::Primary, card, std::nullopt, false));
    m_duration = new QComboBox(card);
    for (KeepAwakeManager::Duration d : KeepAwakeManager::allDurations())
        m_duration->addItem(DeveloperText::durationLabel(d), QVariant::fromValue(int(d)));
    durationRow->addWidget(m_duration);
    durationRow->addStretch(1);
    controls->column()->addLayout(durationRow);

    m_note = QKBuild::label(QString(), TextStyle::Caption, QKForeground::Orange, card);
    m_note->setObjectName(QStringLiteral("awakeNote"));
    m_note->setContentsMargins(6, 0, 6, 0);
    controls->column()->addWidget(m_note);
    QKBuild::addPart(column, controls);

    auto* limits = new QKGroupBox(DeveloperText::awakeLimitsTitle(), 8);
    for (const QString& text : DeveloperText::awakeLimits())
        limits->column()->addWidget(
            QKBuild::label(text, TextStyle::Callout, QKForeground::Secondary, limits->card()));
    QKBuild::addPart(column, limits);

    // The switch only asks; what it shows comes back from the manager.
    connect(m_main, &QAbstractButton::clicked, this, [this](bool on) {
        if (on)
            m_keepAwake.start();
        else
            m_keepAwake.stop(KeepAwakeManager::turnedOffNote());
        sync();
    });
    connect(m_display, &QAbstractButton::clicked, this, [this](bool on) {
        m_keepAwake.setKeepDisplayAwake(on);
        m_keepAwake.applySettings();
    });
    connect(m_power, &QAbstractButton::clicked, this, [this](bool on) {
        m_keepAwake.setOnlyOnPower(on);
        m_keepAwake.applySettings();
    });
    connect(m_duration, &QComboBox::activated, this, [this](int index) {
        m_keepAwake.setDuration(KeepAwakeManager::allDurations().value(index));
        m_keepAwake.applySettings();
    });
    for (auto signal :
         {&KeepAwakeManager::isActiveChanged, &KeepAwakeManager::keepDisplayAwakeChanged,
          &KeepAwakeManager::onlyOnPowerChanged})
        connect(&m_keepAwake, signal, this, &DevAwakePane::sync);
    connect(&m_keepAwake, &KeepAwakeManager::durationChanged, this, &DevAwakePane::sync);
    connect(&m_keepAwake, &KeepAwakeManager::statusLineChanged, this, &DevAwakePane::sync);
    connect(&m_keepAwake, &KeepAwakeManager::lastNoteChanged, this, &DevAwakePane::sync);
    connect(&m_keepAwake, &KeepAwakeManager::displayRefusedChanged, this, &DevAwakePane::sync);
    sync();
}

void DevAwakePane::sync() {
    const bool active = m_keepAwake.isActive();
    const QSignalBlocker b1(m_main), b2(m_display), b3(m_power), b4(m_duration);
    m_main->setChecked(active);
    m_display->setChecked(m_keepAwake.keepDisplayAwake());
    m_power->setChecked(m_keepAwake.onlyOnPower());
    m_duration->setCurrentIndex(
        int(KeepAwakeManager::allDurations().indexOf(m_keepAwake.duration())));
    m_title->setText(DeveloperText::keepAwakeTitle(active));
    m_status->setText(m_keepAwake.statusLine());
    QKForeground::apply(m_status, active ? QKForeground::Orange : QKForeground::Secondary);
    const QString note =
        DeveloperText::awakeNote(m_keepAwake.lastNote(), m_keepAwake.displayRefused());
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
}
