#pragma once

#include <QHash>
#include <QWidget>

// Plain text wrapped between words into at most maxLines lines; when it needs more, the last
// line ends with "…". Takes the height its width needs (height for width). Font and colour come
// from the widget (QKFont::apply, QKForeground::apply).
//
// A text of any length costs what its shown lines cost: only as much of it is laid out as the
// lines shown need (and two lines more, so that the breaks of those shown are its own), and its
// width on one line, which it asks for as its size hint, is measured only as far as the screen is
// wide. The measures of the texts it showed last are kept until the font changes, so a widget that
// a list sets up row after row (a stamp) measures each text once per width, however often it
// paints.
class QKClampedText : public QWidget {
    Q_OBJECT
public:
    explicit QKClampedText(int maxLines, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    int maxLines() const { return m_maxLines; }
    // The lines as drawn at a width (the last one cut when the text is longer).
    QStringList displayedLines(int width) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // How many lines the text takes at a width, at least one.
    int lineCount(int width) const;
    // The text's width on one line, or `limit` when it is at least that wide (then only as much
    // of it is measured as reaches the limit).
    qreal oneLineWidth(qreal limit) const;
    // The lines of the text at a width, laid out afresh.
    QStringList layOut(int width) const;

    // What is known of one text: its width on one line (of the whole, or of a start that reached
    // the limit asked), and its lines at the last two widths asked (the width it is given and
    // the one of its size hint, which a layout asks for in turn).
    struct Measures {
        qreal oneLine = -1;
        bool oneLineWhole = false;
        int widths[2] = {-1, -1};
        QStringList lines[2];
        int newest = 0;
    };
    Measures& measures() const;

    QString m_text;
    int m_maxLines;
    mutable QHash<QString, Measures> m_measures;
};
