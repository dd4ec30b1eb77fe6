#include "storage/FolderSizeTotal.h"

void FolderSizeTotal::clear() {
    m_bytes = 0;
    m_rowBytes.clear();
    m_rowLinks.clear();
    m_holders.clear();
}

void FolderSizeTotal::add(const QString& id, qint64 bytes, const QList<LinkedFile>& linked) {
    remove(id);
    m_bytes += bytes;
    m_rowBytes.insert(id, bytes);
    if (linked.isEmpty())
        return;
    for (const LinkedFile& file : linked) {
        if (m_holders[{file.device, file.inode}]++ > 0)
            m_bytes -= file.bytes; // another row holds it already
    }
    m_rowLinks.insert(id, linked);
}

void FolderSizeTotal::remove(const QString& id) {
    const auto row = m_rowBytes.constFind(id);
    if (row == m_rowBytes.cend())
        return;
    m_bytes -= *row;
    m_rowBytes.erase(row);
    for (const LinkedFile& file : m_rowLinks.take(id)) {
        const auto holders = m_holders.find({file.device, file.inode});
        if (holders == m_holders.end())
            continue;
        if (--*holders > 0)
            m_bytes += file.bytes; // it had been taken off for this row
        else
            m_holders.erase(holders);
    }
}
