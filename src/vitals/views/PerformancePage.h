#pragma once

#include <QWidget>

class PerformanceGroupBox;
class QVBoxLayout;

// What every page of the Performance screen stands on: a scrolling column opened by the page's
// intro line (QKBuild::introPage), to which the page appends its parts in order.
class PerformancePage : public QWidget {
    Q_OBJECT
protected:
    PerformancePage(const QString& intro, QWidget* parent);

    // Appends a group box of the screen (titled, or a bare card when the title is empty) and
    // returns it to be filled; a name given is its object name.
    PerformanceGroupBox* addBox(const QString& title, int spacing, const QString& name = QString());

    QVBoxLayout* m_column = nullptr;
    // The widget the column lays out: the parent of every part.
    QWidget* m_content;
};
