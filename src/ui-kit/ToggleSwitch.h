#pragma once

#include <QAbstractButton>

class QPainter;

// A settings row's on/off switch: its label on the left, the switch on the right. A disabled
// switch still shows its state, faded. A click, Space while it has focus, and assistive
// technology's "Press" or "Toggle" (QKAccessible) all turn it the same way, emitting toggled() and
// clicked(), so a row that acts on clicked() hears every turn by the user and none made
// in code (setChecked).
class ToggleSwitch : public QAbstractButton {
    Q_OBJECT
public:
    explicit ToggleSwitch(const QString& label, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The switch alone (track and knob) in a rectangle of trackSize(), for rows painted by a
    // delegate that show the same control. A focused switch's ring stands kRingOutset outside
    // the track, so the rectangle needs that much room around it.
    static QSize trackSize() { return QSize(kTrackWidth, kTrackHeight); }
    // The track beside text of this font: trackSize() at the normal text size and below, grown
    // in step with the text above it, so a switch never looks small beside a large title.
    static QSize trackSize(const QFont& font);
    static void paintTrack(QPainter& painter, const QRectF& track, bool on, bool enabled,
                           bool focused, const QPalette& palette);

    // The ring's offset from the track: a gap of window two pixels wide, then the ring's two.
    static constexpr int kRingOutset = 4;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int kTrackWidth = 32;
    static constexpr int kTrackHeight = 18;
};
