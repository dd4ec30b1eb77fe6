#pragma once

#include <QPointer>
#include <QWidget>

class QKGroupBox;
class QPushButton;
class TamsoMemory;

// The "Pendrel Memory" section: what the assistant has learned about this computer (which
// developer and AI tools it found in the home folder), with a button that looks again.
//
// Each time the screen comes into view, and at each click on "Refresh", it starts a refresh of
// the memory in the background and returns at once; nothing is awaited, cancelled or disabled,
// so two quick clicks start two refreshes. While the memory's list is empty the box shows a
// spinner and "Learning about your Mac…"; otherwise one row per observation, in its order. The
// memory is not owned: the process-wide one in the app, so a return to the section shows the
// last list at once.
class TamsoMemoryView : public QWidget {
    Q_OBJECT
public:
    explicit TamsoMemoryView(TamsoMemory& memory, QWidget* parent = nullptr);

    // Starts one refresh of the memory for its home folder.
    void startRefresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void syncRows();

    QPointer<TamsoMemory> m_memory;
    QKGroupBox* m_box;
    QWidget* m_learning;
    QPushButton* m_refresh;
    QList<QWidget*> m_rows;
};
