#pragma once

#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"

#include <QWidget>

class QLabel;

// A symbol followed by a text, in one font and one colour (a heading such as the warning of the
// delete sheet). The text wraps when the row is narrow.
class QKIconLabel : public QWidget {
    Q_OBJECT
public:
    QKIconLabel(const QString& symbol, const QString& text, const QKFont& font,
                QKForeground::Style tone, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    QLabel* textLabel() const { return m_label; }

private:
    QLabel* m_label;
};
