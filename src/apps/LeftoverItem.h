#pragma once

#include <QMetaType>
#include <QString>
#include <QUuid>

// A file or folder in one of the user's Library folders that an application seems to have left
// behind, as the leftover search found it.
struct LeftoverItem {
    // How sure the match is; the order matters: high finds sort first.
    enum class Confidence : quint8 {
        High, // the name carries the application's bundle identifier
        Low,  // the name carries only the application's name
    };

    QUuid id; // fresh for each find
    QString path;
    // The label of the Library folder it was found in ("Application Support", "Caches", …).
    QString category;
    qint64 sizeBytes = 0;
    Confidence confidence = Confidence::Low;
    // Whether the uninstall moves it to the Trash; starts true for high finds only.
    bool selected = false;

    QString fileName() const;

    friend bool operator==(const LeftoverItem&, const LeftoverItem&) = default;
};

Q_DECLARE_METATYPE(LeftoverItem)
