#pragma once

#include <QWidget>

class QToolButton;
class UserDefaults;

// The sidebar's three small buttons for the text size, bound to the raw stored step under
// "theme.fontSize" (2 when missing or not an integer), unlike the menu commands:
// smaller (disabled below 1) stores max(step − 1, 0); bigger (disabled above 3) stores
// min(step + 1, 4); reset (disabled at 2 and outside 0…4) stores 2. A stored 9 therefore reads
// "Normal", and only its smaller button works, storing 8.
// Drawn in the secondary text colour of the palette it sits on; for assistive technology the
// row describes itself with the step's name.
// When a new step could not be saved (from here, a menu command or a pinch), the buttons keep
// showing the stored step and an orange warning sign appears after them, whose tooltip and
// accessible name give the reason; it goes away with the next step that is stored.
class TextSizeControl : public QWidget {
    Q_OBJECT
public:
    explicit TextSizeControl(UserDefaults& defaults, QWidget* parent = nullptr);
    explicit TextSizeControl(QWidget* parent = nullptr); // on UserDefaults::standard()

    // The name of the current step ("Normal" outside 0…4).
    QString stepName() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void sync();
    void updateIcons();
    void store(qint64 step);
    void showSaveFailure(const QString& message);

    UserDefaults& m_defaults;
    QToolButton* m_smaller;
    QToolButton* m_bigger;
    QToolButton* m_reset;
    QToolButton* m_warning;
};
