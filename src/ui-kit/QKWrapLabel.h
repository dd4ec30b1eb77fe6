#pragma once

#include <QLabel>

// A word-wrapped plain-text label that never makes its layout wider than the room it is given:
// a run with no space in it (a path, a hash) that is too long for any line breaks anywhere,
// while ordinary words still move whole to the next line. The breaks are invisible marks in
// the shown text; text() gives the text as set, and a selection copied to the clipboard (or to
// the X11 selection) comes out without them.
class QKWrapLabel : public QLabel {
public:
    explicit QKWrapLabel(const QString& text = QString(), QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);

    // The text as shown: a zero-width space after each character of every run of more than
    // kLongRun characters without a space.
    static QString breakable(const QString& text);
    static constexpr int kLongRun = 30;

private:
    void cleanClipboard(int mode);

    QString m_text;
};
