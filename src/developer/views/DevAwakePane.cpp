#include "developer/views/DevAwakePane.h"

#include "developer/DeveloperText.h"
#include "ui-kit/AskTamsoStrip.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/ToggleSwitch.h"
#include "vitals/KeepAwakeManager.h"

#include <QComboBox>
#include <QLabel>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

DevAwakePane::DevAwakePane(KeepAwakeManager& keepAwake, QWidget* parent)
    : QWidget(parent), m_keepAwake(keepAwake) {
    setObjectName(QStringLiteral("devAwakePane"));
    using namespace QKLayout;
    QVBoxLayout* page = nullptr;
    QKBuild::page(page, this);
    QKGroupBox* controls = controlsBox();
    auto* limits = new QKGroupBox(DeveloperText::awakeLimitsTitle(), 8);
    for (const QString& text : DeveloperText::awakeLimits())
        limits->addLabel(text, TextStyle::Callout, QKForeground::Secondary);

    column({part(m_ask = new AskTamsoStrip(DeveloperText::awakeAskPrompt(),
                                           DeveloperText::awakeAskQuestion(), true)),
            part(QKBuild::label(DeveloperText::awakeHeading(), TextStyle::Title2,
                                QKForeground::Primary, nullptr, QFont::Bold)),
            part(QKBuild::label(DeveloperText::awakeIntro(), TextStyle::Callout,
                                QKForeground::Secondary, nullptr)),
            part(controls), part(limits)})
        .fillPage(page);

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
          &KeepAwakeManager::onlyOnPowerChanged, &KeepAwakeManager::displayRefusedChanged})
        connect(&m_keepAwake, signal, this, &DevAwakePane::sync);
    connect(&m_keepAwake, &KeepAwakeManager::durationChanged, this, &DevAwakePane::sync);
    connect(&m_keepAwake, &KeepAwakeManager::statusLineChanged, this, &DevAwakePane::sync);
    connect(&m_keepAwake, &KeepAwakeManager::lastNoteChanged, this, &DevAwakePane::sync);
    sync();
}

QKGroupBox* DevAwakePane::controlsBox() {
    using namespace QKLayout;
    const auto note = [](const QString& text, QWidget* card) {
        return part(QKBuild::label(text, TextStyle::Caption, QKForeground::Secondary, card));
    };
    auto* controls = new QKGroupBox(QString(), 14);
    QWidget* card = controls->card();
    column({row({column(4, {part(m_title = QKBuild::label(QString(), TextStyle::Headline,
                                                          QKForeground::Primary, card))
                                .name(QStringLiteral("awakeTitle")),
                            part(m_status = QKBuild::label(QString(), TextStyle::Callout,
                                                           QKForeground::Secondary, card))
                                .name(QStringLiteral("awakeStatus"))})
                     .stretch(1),
                 part(m_main = new ToggleSwitch(QString(), card))
                     .name(QStringLiteral("awakeMain"))
                     .accessibleName(DeveloperText::awakeHeading())
                     .align(Qt::AlignTop)}),
            part(new QKHairline(card)),
            part(m_display = new ToggleSwitch(DeveloperText::awakeDisplaySwitch(), card))
                .name(QStringLiteral("awakeDisplay")),
            note(DeveloperText::awakeDisplayNote(), card),
            part(m_power = new ToggleSwitch(DeveloperText::awakePowerSwitch(), card))
                .name(QStringLiteral("awakePower")),
            note(DeveloperText::awakePowerNote(), card),
            row({part(QKBuild::label(DeveloperText::awakeDurationLabel(), TextStyle::Body,
                                     QKForeground::Primary, card, std::nullopt, false)),
                 part(m_duration = new QComboBox(card)).name(QStringLiteral("awakeDuration")),
                 stretch(1)}),
            part(m_note = QKBuild::label(QString(), TextStyle::Caption, QKForeground::Orange, card))
                .name(QStringLiteral("awakeNote"))
                .with([](QLabel* l) { l->setContentsMargins(6, 0, 6, 0); })})
        .fill(controls->column());
    for (KeepAwakeManager::Duration d : KeepAwakeManager::allDurations())
        m_duration->addItem(DeveloperText::durationLabel(d), QVariant::fromValue(int(d)));
    return controls;
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
