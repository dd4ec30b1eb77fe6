#pragma once

#include <QWidget>

// Plain text wrapped between words into at most maxLines lines; when it needs more, the last
// line ends with "…". Takes the height its width needs (height for width). Font and colour come
// from the widget (QKFont::apply, QKForeground::apply).
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
    // The whole text's width on one line; kept until the text or the font changes, because a
    // layout asks for the size hint and the height for a width many times over.
    qreal oneLineWidth() const;

    QString m_text;
    int m_maxLines;
    mutable qreal m_oneLineWidth = -1;
};
