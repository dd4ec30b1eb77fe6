#pragma once

#include "shell/ScreenModes.h"

#include <functional>
#include <QPointer>
#include <QWidget>

class AppState;
class DiskMapScanner;
class DiskTrend;
class FileRevealer;
class FolderOrganizer;
class QKModeHost;
class QLabel;
class ScreenState;
class SegmentedControl;
class StorageGrowthScanner;

// The storage section: an overview page and six working modes under a segmented picker. The
// mode lives in ScreenState, so it survives leaving the section, and the assistant, deep links
// and the "open disk mode" message switch it there; this screen only follows it. Each switch
// builds the mode's pane afresh (a cleaner's confirm state and the disk map's trail start over;
// the cleaners' selections and results live in ScreenState).
//
// The cleaner modes host the cleaning subsystem's pane, which the caller builds through
// `cleanerPane` (called with System, Mail or Screenshots).
class DiskView : public QWidget {
    Q_OBJECT
public:
    using CleanerPaneFactory = std::function<QWidget*(DiskMode mode, QWidget* parent)>;

    // trend: the hourly disk-use history the full-disk prediction rests on; without one the
    // prediction has not enough trend data.
    DiskView(ScreenState& screen, AppState& appState, const DiskTrend* trend,
             StorageGrowthScanner& growth, DiskMapScanner& diskMap, FolderOrganizer& organizer,
             FileRevealer* revealer, CleanerPaneFactory cleanerPane, QWidget* parent = nullptr);

private:
    QWidget* buildPane(DiskMode mode, QWidget* parent);
    QWidget* buildOverview(QWidget* parent);
    void refreshOverview();

    ScreenState& m_screen;
    AppState& m_appState;
    QPointer<const DiskTrend> m_trend;
    StorageGrowthScanner& m_growth;
    DiskMapScanner& m_diskMap;
    FolderOrganizer& m_organizer;
    FileRevealer* m_revealer;
    CleanerPaneFactory m_cleanerPane;

    SegmentedControl* m_picker;
    QKModeHost* m_host;
    // The overview's live parts.
    QPointer<QLabel> m_header;
    QPointer<QLabel> m_usage;
    QPointer<QLabel> m_growthValue;
    QPointer<QLabel> m_estimate;
};
