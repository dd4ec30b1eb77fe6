#pragma once

#include "storage/MapNode.h"

#include <optional>
#include <QPointer>
#include <QWidget>

class AskTamsoStrip;
class DiskMapScanner;
class FileRevealer;
class QKEmptyState;
class QKLineLabel;
class QKProminentButton;
class QLabel;
class QPushButton;
class QKScanStatePages;
class TreemapLegend;
class TreemapView;

// The disk map of the home folder: it starts a scan when shown while the scanner is idle, shows
// its progress, and then draws the measured tree one folder level at a time as a treemap, with a
// breadcrumb of the folders entered, a legend of bytes by category at that level and the details
// of the selected tile.
//
// Double-clicking a tile with children enters it; "Up" goes back one level; both clear the
// selection, so the details never show a node of another level. "Analyse home" goes back to the
// top and scans again; "Stop" cancels the scan. The folders entered are copies of the nodes of
// the result on screen when they were entered. revealer null: the selected folder's "Show in
// File Manager" does nothing.
class DiskMapPane : public QWidget {
    Q_OBJECT
public:
    DiskMapPane(DiskMapScanner& scanner, FileRevealer* revealer, QWidget* parent = nullptr);

    void analyse();
    void stop();
    void drillIn(const MapNode& node);
    void goUp();
    void revealSelection();

    const QList<MapNode>& stack() const { return m_stack; }
    const std::optional<MapNode>& selection() const { return m_selection; }
    // The nodes on screen: the children of the last folder entered, else of the result's root.
    QList<MapNode> currentNodes() const;
    CategoryTotals categoryTotals() const;

    TreemapView* treemap() const { return m_treemap; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildProgress();
    QWidget* buildMap();
    void refreshState();
    void refreshMap();
    void refreshDetails();
    void select(const MapNode& node);

    QPointer<DiskMapScanner> m_scanner;
    FileRevealer* m_revealer;
    QList<MapNode> m_stack;
    std::optional<MapNode> m_selection;

    // One line, cut with "…" where the folders run deep or the text is large.
    QKLineLabel* m_breadcrumb = nullptr;
    QPushButton* m_up = nullptr;
    QKProminentButton* m_primary = nullptr;
    AskTamsoStrip* m_ask = nullptr;
    QKScanStatePages* m_body = nullptr;
    QWidget* m_progress = nullptr;
    QLabel* m_progressLine = nullptr;
    QKEmptyState* m_failed = nullptr;
    QKEmptyState* m_idle = nullptr;
    QWidget* m_map = nullptr;
    TreemapView* m_treemap = nullptr;
    TreemapLegend* m_legend = nullptr;
    QWidget* m_details = nullptr;
    QLabel* m_detailName = nullptr;
    QLabel* m_detailSize = nullptr;
    QLabel* m_detailCategory = nullptr;
    QLabel* m_detailDescription = nullptr;
    QPushButton* m_reveal = nullptr;
};
