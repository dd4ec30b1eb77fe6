#pragma once

#include <QStringList>

class UserDefaults;

// The sidebar's order of section ids from a stored "sidebar.order" text: one entry per line
// (split at line feeds, empty lines dropped, nothing trimmed), each naming a section by id, by
// title or by an older title; entries naming nothing and repeats are skipped; every section not
// named follows in catalog order. Without a stored text the order is the catalog's.
QStringList sectionOrder(const QString& stored);

// The same from the defaults; a missing or non-text value counts as no stored order. Nothing in
// the app writes the key.
QStringList sectionOrder(const UserDefaults& defaults);

inline const QString kSidebarOrderKey = QStringLiteral("sidebar.order");
