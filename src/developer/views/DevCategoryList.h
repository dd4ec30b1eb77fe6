#pragma once

#include <functional>
#include <QList>
#include <QPointer>
#include <QWidget>

namespace QKLayout {
class Item;
}

class AskTamsoStrip;
class CleanupScanner;
class QBoxLayout;
class QKEmptyState;
class QKGroupBox;
class QKProminentButton;
class QKScanStatePages;
class QLabel;
class QPushButton;
class ScreenState;
class TamsoExplainRow;

// The cleanup and AI models panes of the Developer Centre: one view over the shared developer
// scanner, listing the rows that hold data (all of them, or only the model rows), largest first.
// The ticks and the result line are ScreenState's devSelected and devResult, so both panes show
// the same choice and the same total.
//
// While measuring, rows enter a "Found so far" list as they are measured. "Clean selected" asks
// the host (onCleanRequested) to confirm; it is disabled with nothing ticked, while a clean
// runs, and while measuring: a row not yet measured shows 0 bytes, so the total offered for
// confirmation would understate what the clean empties.
class DevCategoryList : public QWidget {
    Q_OBJECT
public:
    DevCategoryList(CleanupScanner& scanner, ScreenState& screen, bool modelsOnly,
                    QWidget* parent = nullptr);

    // Called by "Rescan" and "Clean selected"; the Developer Centre owns both runs.
    std::function<void()> onRescan;
    std::function<void()> onCleanRequested;
    // A clean is under way (the host's state); disables the clean button.
    void setCleaning(bool cleaning);

    bool modelsOnly() const { return m_modelsOnly; }

private:
    QKLayout::Item headerBar();
    QKLayout::Item measuringStrip();
    QKScanStatePages* buildBody();
    void refresh();
    void rebuildRows();
    void syncChecks();
    void updateHeader();
    void updateResult();
    void toggle(const QString& id, bool on);

    CleanupScanner& m_scanner;
    QPointer<ScreenState> m_screen;
    bool m_modelsOnly;
    bool m_cleaning = false;

    QLabel* m_result;
    QPushButton* m_rescan;
    QKProminentButton* m_clean;
    AskTamsoStrip* m_ask;
    QWidget* m_strip;
    QLabel* m_stripLine;
    QLabel* m_stripDetail;
    QKScanStatePages* m_body;
    QWidget* m_preparing;
    QWidget* m_placeholder;
    QLabel* m_placeholderNow;
    QLabel* m_placeholderCount;
    QWidget* m_listPage;
    QLabel* m_section;
    // The column under the section title that holds the rows' box, and that box (none while no
    // row holds data).
    QBoxLayout* m_rowsColumn = nullptr;
    QKGroupBox* m_rowsBox = nullptr;
    QKEmptyState* m_nothing;
    QKEmptyState* m_failed;
    QList<TamsoExplainRow*> m_rows;
    QStringList m_rowIds;
};
