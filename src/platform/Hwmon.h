#pragma once

#include <optional>
#include <QList>
#include <QString>

// The hardware-monitoring chips under <sysRoot>/class/hwmon, in natural order of their folder
// names (hwmon2 before hwmon10). Only the layout is read here: which channels a chip has and
// their labels; values are read on demand through the paths, because they change between
// samples while the layout does not. Channel numbers run from 1 to 9999; files with any other
// number (fan0_input, fan2147483647_input) are not taken as channels.
struct HwmonChip {
    QString folder; // "hwmon3"
    QString name;   // the driver's chip name ("coretemp", "k10temp", "amdgpu", "thinkpad")

    struct Temperature {
        int index = 0; // N of tempN_input
        QString label; // tempN_label, or empty
        QString inputPath;
    };
    struct Fan {
        int index = 0;                                   // N of fanN_*
        QString label;                                   // fanN_label, or empty
        QString inputPath, minPath, maxPath, targetPath; // empty when the file does not exist
    };
    QList<Temperature> temperatures; // by index
    QList<Fan> fans;                 // by index; a fan appears when any fanN_ file exists
};

QList<HwmonChip> readHwmonChips(const QString& sysRoot);
