#pragma once

#include "ui-kit/QKFocusHold.h"

#include <QPointer>
#include <QWidget>

class QKEmptyState;
class QKProminentButton;
class QKScanStatePages;
class QScrollArea;
class QBoxLayout;
class ScreenState;
class StorageGrowthScanner;

// The storage hub's "Where did it go?" mode: the growth scanner's buckets with each one's share
// of the measured total, and a way to open the screen that handles each.
//
// Everything shown is the scanner's published state, which outlives the pane: re-entering the
// mode shows the last result or failure. Only a pane shown while the scanner is idle starts a
// scan by itself; afterwards only "Analyse" does, and it is disabled while a scan runs (its
// keyboard focus waiting on the pane, named for assistive technology, until it is back on).
class StorageGrowthPane : public QWidget {
    Q_OBJECT
public:
    StorageGrowthPane(StorageGrowthScanner& growth, ScreenState& screen, QWidget* parent = nullptr);

    // A bucket handled by the storage hub itself ("disk") switches it to "Safe cleanup"; any
    // other section is opened through the cross-screen "open section" message.
    static void openBucket(ScreenState& screen, const QString& featureID);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();
    void fillBuckets();

    StorageGrowthScanner& m_growth;
    ScreenState& m_screen;
    QKProminentButton* m_analyse;
    QKScanStatePages* m_body;
    QKEmptyState* m_ready;
    QWidget* m_scanning;
    QWidget* m_done;
    QScrollArea* m_page = nullptr; // the done page's scroll view
    QWidget* m_list;
    QBoxLayout* m_rows = nullptr;
    QKEmptyState* m_failed;
    QKFocusHold m_hold;
};
