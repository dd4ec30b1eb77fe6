#include "shell/views/SettingsView.h"

#include "platform/SymbolName.h"
#include "platform/UserDefaults.h"
#include "shell/RunModeManager.h"
#include "shell/SettingsText.h"
#include "shell/UpdaterManager.h"
#include "shell/views/ThemePicker.h"
#include "ui-kit/ChoiceRadio.h"
#include "ui-kit/QKBorderedButton.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/ToggleSwitch.h"

#include <QButtonGroup>
#include <QLabel>

namespace {

// A note under a section's controls: wrapped, in the caption style and secondary ink.
QLabel* note(const QString& text, QWidget* parent) {
    return QKBuild::label(text, TextStyle::Caption, QKForeground::Secondary, parent);
}

} // namespace

SettingsView::SettingsView(RunModeManager* runMode, UpdaterManager* updater, QWidget* parent)
    : SettingsView(runMode, updater, UserDefaults::standard(), parent) {}

SettingsView::SettingsView(RunModeManager* runMode, UpdaterManager* updater, UserDefaults& defaults,
                           QWidget* parent)
    : QWidget(parent), m_runMode(runMode), m_updater(updater), m_defaults(defaults) {
    setObjectName(QStringLiteral("settingsView"));
    // The window's scroll area reads as the page it shows.
    setAccessibleName(SettingsText::formName());
    setFixedWidth(kWidth);
    using namespace QKLayout;
    column({20, 20, 20, 20}, 18,
           {
               section(SettingsText::appearanceTitle(), new ThemePicker(m_defaults, this)),
               section(SettingsText::updatesTitle(), makeUpdates()),
               section(SettingsText::runModeTitle(), makeRunMode()),
               section(SettingsText::fileManagerTitle(), makeFinder()),
               stretch(1),
           })
        .on(this);
}

QWidget* SettingsView::section(const QString& title, QWidget* content) {
    using namespace QKLayout;
    auto* box = new QWidget(this);
    QKCardSurface* card = nullptr;
    column({0, 0, 0, 0}, 6,
           {part(new QLabel(title, box))
                .name(QStringLiteral("sectionTitle"))
                .font(TextStyle::Headline),
            part(card = new QKCardSurface(10, false, box))})
        .on(box);
    column({14, 12, 14, 12}, {content}).on(card);
    return box;
}

QWidget* SettingsView::makeUpdates() {
    using namespace QKLayout;
    auto* panel = new QWidget(this);
    ToggleSwitch* autoUpdate = nullptr;
    column({0, 0, 0, 0}, 8,
           {
               part(autoUpdate = new ToggleSwitch(SettingsText::autoUpdateSwitch(), panel))
                   .name(QStringLiteral("autoUpdateSwitch")),
               row({part(new QKBorderedButton(SettingsText::checkNowButton(), panel))
                        .name(QStringLiteral("checkNowButton"))
                        .with([](QWidget* checkNow) { checkNow->setEnabled(false); }),
                    stretch(1)}),
               note(SettingsText::updatesNote(), panel),
           })
        .on(panel);
    // Nothing checks for updates here, so the switch shows off whatever the stored preference
    // says, and it cannot be changed; the preference itself is kept as it is.
    autoUpdate->setChecked(m_updater && m_updater->isAvailable() &&
                           m_updater->automaticallyChecks());
    autoUpdate->setEnabled(false);
    if (m_updater) {
        connect(autoUpdate, &ToggleSwitch::clicked, m_updater,
                &UpdaterManager::setAutomaticallyChecks);
        connect(m_updater, &UpdaterManager::automaticallyChecksChanged, autoUpdate,
                [this, autoUpdate](bool checks) {
                    autoUpdate->setChecked(m_updater->isAvailable() && checks);
                });
    }
    return panel;
}

QWidget* SettingsView::makeRunMode() {
    using namespace QKLayout;
    auto* panel = new QWidget(this);
    const auto choices = [this, panel] {
        m_modes = new QButtonGroup(panel);
        m_modes->setExclusive(true);
        Box radios = column(4, {});
        for (RunMode mode : allRunModes()) {
            auto* button = new ChoiceRadio(runModeRawValue(mode), panel);
            m_modes->addButton(button, int(mode));
            radios.add(part(button).name(QStringLiteral("mode-") + runModeRawValue(mode)));
        }
        return radios.stretch(1);
    };
    const auto warning = [panel] {
        return new QKIconLabel("exclamationmark.triangle"_sym, QString(),
                               QKFont{.style = TextStyle::Caption}, QKForeground::Orange, panel);
    };
    QKIconLabel* saveError = nullptr;
    column(
        {0, 0, 0, 0}, 8,
        {
            row(12, {part(new QLabel(SettingsText::runModeLabel(), panel)).align(Qt::AlignTop),
                     choices()}),
            part(m_explanation = note(QString(), panel)).name(QStringLiteral("runModeExplanation")),
            part(m_loginError = warning()).name(QStringLiteral("loginError")),
            // A mode the settings file could not keep: the manager goes back to the stored
            // mode (and the choice follows it); this line says why.
            part(saveError = warning())
                .name(QStringLiteral("runModeSaveError"))
                .with([](QWidget* w) { w->hide(); }),
        })
        .on(panel);
    if (m_runMode) {
        // Checked is chosen, whichever way it came: a click, the arrows, or assistive
        // technology's "Toggle", which checks the button without clicking it. Checking the
        // manager's own mode (showMode) sets nothing again.
        connect(m_modes, &QButtonGroup::idToggled, m_runMode, [this](int id, bool checked) {
            if (checked && RunMode(id) != m_runMode->mode())
                m_runMode->setMode(RunMode(id));
        });
        connect(m_runMode, &RunModeManager::modeChanged, this, &SettingsView::showMode);
        connect(m_runMode, &RunModeManager::loginItemErrorChanged, this,
                &SettingsView::showLoginError);
    }
    const QString modeKey = QStringLiteral("run.mode");
    connect(&m_defaults, &UserDefaults::changed, saveError,
            [saveError, modeKey](const QString& key) {
                if (key == modeKey)
                    saveError->hide();
            });
    connect(&m_defaults, &UserDefaults::saveFailed, saveError,
            [saveError, modeKey](const QString& key, const QString& message) {
                if (key != modeKey)
                    return;
                saveError->setText(message);
                saveError->show();
            });
    showMode();
    showLoginError();
    return panel;
}

QWidget* SettingsView::makeFinder() {
    using namespace QKLayout;
    auto* panel = new QWidget(this);
    column({0, 0, 0, 0}, 8,
           {
               note(SettingsText::deepLinksNote(), panel),
               // Shown, as the other platform shows it, but off: there is no such settings pane
               // to open here, and a button that does nothing must not look as if it did
               // something.
               row({part(new QKBorderedButton(SettingsText::extensionsButton(), panel))
                        .name(QStringLiteral("extensionsButton"))
                        .with([](QWidget* extensions) {
                            extensions->setEnabled(false);
                            extensions->setToolTip(SettingsText::extensionsUnavailable());
                        }),
                    stretch(1)}),
               part(note(SettingsText::extensionsUnavailable(), panel))
                   .name(QStringLiteral("extensionsNote")),
           })
        .on(panel);
    return panel;
}

void SettingsView::showMode() {
    if (!m_runMode)
        return;
    const RunMode mode = m_runMode->mode();
    if (QAbstractButton* button = m_modes->button(int(mode)))
        button->setChecked(true);
    m_explanation->setText(SettingsText::runModeExplanation(mode));
}

void SettingsView::showLoginError() {
    const QString error = m_runMode ? m_runMode->loginItemError() : QString();
    m_loginError->setText(error);
    m_loginError->setVisible(!error.isEmpty());
}
