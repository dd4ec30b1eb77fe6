#pragma once

#include "assistant/TamsoScreenContext.h"
#include "shell/Services.h"

#include <functional>
#include <optional>
#include <QString>
#include <QWidget>

class DetailCard;
class ScreenState;
class SidebarView;
class UserDefaults;
struct QKFeature;

// The main window's content: the brand backdrop, the dark sidebar of sections and the detail
// card with the selected section's screen.
//
// The selection is an id; it starts as "dashboard". The section shown (selectedFeature) is the
// catalog record of the selection, else "dashboard", else the first record, so a selection that
// names nothing shows Home. Each time the section shown changes, its screen is built afresh
// (the previous one is dropped), the title follows, and the log gets
// "Pendrel: showing section <id>".
//
// Cross-screen messages, for as long as the view exists:
// - OpenSection: an id the catalog has is selected; anything else (a title included) is ignored.
// - AskTamso: the context of the section shown is captured, "tamso" is selected at once, and a
//   non-empty text is handed to the assistant kAskDelayMs later with the snapshot current then.
// - OpenDiskMode: "disk" is selected; a storage-hub raw value also sets ScreenState's diskMode.
// These and selectSection() switch without animation; a click on a row animates.
class ContentView : public QWidget {
    Q_OBJECT
public:
    // Makes a section's screen. The app's table of screens is the one the window uses; the view
    // itself knows no screen, so the shell never depends on the subsystems above it.
    using ScreenFactory = std::function<QWidget*(const QString& featureId, QWidget* parent)>;

    struct Deps {
        ScreenFactory makeScreen;         // required
        UserDefaults* defaults = nullptr; // null: UserDefaults::standard()
    };

    // services.appState, .assistant and .screen must be set, and deps.makeScreen.
    ContentView(const Services& services, Deps deps, QWidget* parent = nullptr);

    // The selection as set, which may name no section.
    QString selectedSection() const { return m_selection; }
    void selectSection(const QString& id);
    // Selecting from the sidebar: as selectSection, with the row's fill animated.
    void selectRow(const QString& id);

    const QKFeature& selectedFeature() const;
    // The window's title: the title of the section shown.
    QString title() const;

    void openSection(const QString& payload);
    void onAskTamso(const QString& payload);
    void onOpenDiskMode(const QString& payload);

    // The context handed to the assistant for the section shown now.
    TamsoScreenContext screenContext() const;
    // The sub-mode title of a section in the assistant's context: the storage hub's mode, the
    // apps hub's pane, the Developer Centre's pane; none for every other section.
    static std::optional<QString> subModeTitle(const QString& featureId, const ScreenState& state);

    static constexpr int kAskDelayMs = 150;

signals:
    void selectionChanged(const QString& selection);
    void titleChanged(const QString& title);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void setSelection(const QString& id, bool animated);
    void showSelectedFeature();
    // The first control of the screen that Tab reaches, if it has one.
    static QWidget* firstStop(QWidget& screen);

    Services m_services;
    ScreenFactory m_makeScreen;
    UserDefaults& m_defaults;
    QString m_selection = QStringLiteral("dashboard");
    QString m_shownFeature; // id of the section whose screen the card holds
    SidebarView* m_sidebar = nullptr;
    DetailCard* m_card = nullptr;
};
