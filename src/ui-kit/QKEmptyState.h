#pragma once

#include <optional>
#include <QWidget>

class QBoxLayout;
class QLabel;
class QKSymbol;

// The panel a screen shows where its list would be when there is nothing to list: a large
// symbol, a headline, an optional explanation (wrapped in full, at most 420 points wide) and an
// optional row of controls. It takes all the space it is given and centres its content.
class QKEmptyState : public QWidget {
    Q_OBJECT
public:
    QKEmptyState(const QString& title, const QString& systemImage,
                 std::optional<QString> message = std::nullopt, QWidget* parent = nullptr);

    QString title() const;
    void setTitle(const QString& title);
    void setSystemImage(const QString& systemImage);
    // None hides the explanation. Rich text is for callers composing it from styled pieces;
    // anything that carries user data should stay plain.
    void setMessage(std::optional<QString> message, Qt::TextFormat format = Qt::PlainText);
    std::optional<QString> message() const { return m_message; }
    // Appends a control to the row under the explanation; the panel takes ownership.
    void addActionWidget(QWidget* control);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Wrapped, centred texts get their width from the panel's, so their height is exact.
    void fitTexts();

    std::optional<QString> m_message;
    QKSymbol* m_symbol;
    QLabel* m_title;
    QLabel* m_messageLabel;
    QWidget* m_actions;
    QBoxLayout* m_actionsLayout = nullptr;
};
