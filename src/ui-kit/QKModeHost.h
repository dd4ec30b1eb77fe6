#pragma once

#include "platform/RawValue.h"
#include "ui-kit/SegmentedControl.h"

#include <functional>
#include <QMargins>
#include <QPointer>
#include <QStackedWidget>
#include <QVector>

// The body of a screen with modes: the pane of the mode on show, under a segmented picker that
// the screen creates and places in its own header (the host only drives it). The mode itself
// lives elsewhere (ScreenState), so the host never decides it: a click on a segment is handed to
// the setter given to bind(), and the pane changes only when the mode's change signal comes back
// (or the screen calls showIndex).
//
// Panes are built by `build(index, parent)` when their mode first shows, never before:
// - Kept: each pane is built once and kept for the host's life (its state survives a switch);
// - Rebuilt: each switch to another mode builds the new pane afresh and deletes the old one
//   (later, so a pane may switch the mode from its own handler). Showing the mode already on
//   show keeps its pane.
// A builder may return null; the mode then shows an empty page.
//
// setCover() puts one page in front of every mode (a screen waiting for its first data): while a
// cover is set it shows instead of the mode's pane, and the picker keeps following the mode.
class QKModeHost : public QStackedWidget {
    Q_OBJECT
public:
    enum class Panes { Kept, Rebuilt };
    using Builder = std::function<QWidget*(int index, QWidget* parent)>;

    QKModeHost(SegmentedControl* picker, Builder build, Panes panes, QWidget* parent = nullptr);

    // The mode on show (its segment's index), −1 before the first showIndex.
    int shownIndex() const { return m_shown; }
    // The pane of the mode on show; null before the first showIndex.
    QWidget* pane() const;
    // The pane of a mode, built now if it was not yet (Kept); with Rebuilt, only the pane on
    // show is ever returned, other indexes give null.
    QWidget* paneAt(int index);

    // Selects the segment and shows the mode's pane (or the cover).
    void showIndex(int index);
    template <typename Mode> void showMode(Mode mode) {
        showIndex(int(allCases<Mode>().indexOf(mode)));
    }

    // Null takes the cover away.
    void setCover(QWidget* cover);
    QWidget* cover() const { return m_cover; }

    // A click on a segment calls `set` with its case, in allCases<Mode>() order.
    template <typename Mode> void onPick(std::function<void(Mode)> set) {
        m_onPicked = [set = std::move(set)](int index) {
            const QList<Mode>& modes = allCases<Mode>();
            if (set && index >= 0 && index < modes.size())
                set(modes.at(index));
        };
    }

    // Binds the picker to a mode kept by `source`: clicks go to `set` (onPick), and every
    // `changed` signal of `source` shows the mode `get` returns. Shows the current mode at once.
    // A null source binds the clicks only. A screen that does more when its mode changes
    // connects the signal itself and calls onPick and showMode.
    template <typename Mode, typename Source, typename Signal>
    void bind(Source* source, Signal changed, std::function<Mode()> get,
              std::function<void(Mode)> set) {
        onPick<Mode>(std::move(set));
        auto follow = [this, get = std::move(get)] { showMode(get()); };
        if (source)
            connect(source, changed, this, follow);
        follow();
    }

    // The segments of a mode enum: title(case) for each case of allCases<Mode>().
    template <typename Mode> static QStringList titles() {
        QStringList out;
        for (Mode mode : allCases<Mode>())
            out << title(mode);
        return out;
    }

    // A header strip holding a new picker with these segments (returned through `picker`),
    // named `name` and at most `maximumWidth` wide (wider only when its labels need it, at large
    // text sizes): leading with the spare width after it, or
    // centred with the spare width shared on both sides.
    static QWidget* pickerStrip(SegmentedControl*& picker, const QStringList& segments,
                                const QString& name, int maximumWidth, const QMargins& margins,
                                bool centred, QWidget* parent);
    // The same over a mode enum, one segment per case (titles<Mode>()).
    template <typename Mode>
    static QWidget* pickerStrip(SegmentedControl*& picker, const QString& name, int maximumWidth,
                                const QMargins& margins, bool centred, QWidget* parent) {
        return pickerStrip(picker, titles<Mode>(), name, maximumWidth, margins, centred, parent);
    }

private:
    QWidget* build(int index);
    void bringUp(QWidget* pane);

    SegmentedControl* m_picker;
    Builder m_build;
    Panes m_panes;
    int m_shown = -1;
    std::function<void(int)> m_onPicked;
    QVector<QPointer<QWidget>> m_built;
    QPointer<QWidget> m_current;
    QPointer<QWidget> m_cover;
};
