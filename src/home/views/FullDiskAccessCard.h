#pragma once

#include "ui-kit/QKCardSurface.h"

#include <functional>

class Permissions;
class QKProminentButton;
class QPushButton;

// The card that asks for Full Disk Access while Permissions says it is missing: "Open Settings"
// asks the system for the settings pane, "I've done it, recheck" runs the probe again and
// stores its answer in the shared Permissions, so every screen that watches the flag follows.
// The card shows and hides itself with the flag.
class FullDiskAccessCard : public QKCardSurface {
    Q_OBJECT
public:
    // probe: the recheck; empty uses Permissions::probeFullDiskAccess.
    FullDiskAccessCard(Permissions& permissions, std::function<bool()> probe = {},
                       QWidget* parent = nullptr);

    // Replaces the recheck's probe; empty uses Permissions::probeFullDiskAccess.
    void setProbe(std::function<bool()> probe) { m_probe = std::move(probe); }

private:
    void follow();

    Permissions& m_permissions;
    std::function<bool()> m_probe;
    QKProminentButton* m_open;
    QPushButton* m_recheck;
};
