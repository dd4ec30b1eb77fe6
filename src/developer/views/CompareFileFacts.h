#pragma once

#include <optional>
#include <QUrl>
#include <QWidget>

class QBoxLayout;
class QKIconLabel;

// The facts of a pair compared byte for byte: one box per side that holds a file, first side
// first, with the file's icon and name, "Size: ", "Modified: " (when known) and the full path;
// above them, for a pair too long for the line view, the note that says so. Size and date are
// read once per box; a file that cannot be read shows 0 bytes and no date, and a folder no
// "Size: " line (its own block is not what it holds).
class CompareFileFacts : public QWidget {
    Q_OBJECT
public:
    explicit CompareFileFacts(QWidget* parent = nullptr);

    void setFiles(const std::optional<QUrl>& left, const std::optional<QUrl>& right, bool tooBig);

private:
    QWidget* makeBox(const QUrl& file);

    QKIconLabel* m_tooBig;
    QBoxLayout* m_row = nullptr;
    QList<QWidget*> m_boxes;
};
