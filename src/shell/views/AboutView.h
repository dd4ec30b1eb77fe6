#pragma once

#include <QScrollArea>

// The About section: the app's icon, name and version, what it is for, the look settings
// (ThemePicker, shared with the settings window through the stored values) and the privacy card,
// in one scrolling column at most 560 wide, aligned to the leading edge. It holds nothing of its
// own and is made anew each time the section is shown.
class AboutView : public QScrollArea {
    Q_OBJECT
public:
    explicit AboutView(QWidget* parent = nullptr);

    static constexpr int kMaxWidth = 560;
};
