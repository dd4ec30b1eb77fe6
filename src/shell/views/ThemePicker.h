#pragma once

#include <QList>
#include <QWidget>

namespace QKLayout {
class Box;
}
class AccentSwatch;
class QLabel;
class SegmentedControl;
class UserDefaults;

// The look settings block shared by the settings window and the About screen: the appearance
// ("Match macOS", "Light", "Dark"), the accent swatches, and where the text size is changed.
//
// It keeps no state: it shows "theme.appearance", "theme.accent" and "theme.fontSize" as stored
// (defaults "Match macOS", "Blue", 2) and follows every change of them, from whatever window;
// a choice is stored at once. A stored appearance that matches no segment selects none; a
// stored accent that is no raw value rings no swatch (the tint falls back to blue elsewhere).
// The text size is only reported here, by its step's name in lower case ("normal" outside 0…4).
class ThemePicker : public QWidget {
    Q_OBJECT
public:
    explicit ThemePicker(QWidget* parent = nullptr); // on UserDefaults::standard()
    explicit ThemePicker(UserDefaults& defaults, QWidget* parent = nullptr);

    const QList<AccentSwatch*>& swatches() const { return m_swatches; }

private:
    void sync();
    // The accent label and one swatch an accent.
    QKLayout::Box accentRow();

    UserDefaults& m_defaults;
    SegmentedControl* m_appearance = nullptr;
    QList<AccentSwatch*> m_swatches;
    QLabel* m_textSizeNote = nullptr;
};
