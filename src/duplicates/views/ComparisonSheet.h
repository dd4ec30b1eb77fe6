#pragma once

#include "duplicates/ComparePair.h"

#include <QDialog>

class QLabel;
class QPushButton;
class PhotoPicture;

// Two look-alike photos side by side at a large size, 900 × 620, each with "Best quality" when
// it is its set's best, its file name and its pixel size and file size; the other photo keeps
// the room of that line, so the two stand level. It changes nothing; "Done" closes it.
class ComparisonSheet : public QDialog {
    Q_OBJECT
public:
    ComparisonSheet(const ComparePair& pair, QWidget* parent = nullptr);

    const ComparePair& pair() const { return m_pair; }
    QPushButton* doneButton() const { return m_done; }
    // The info line of the left (true) or right photo.
    QLabel* infoLabel(bool left) const { return left ? m_leftInfo : m_rightInfo; }
    QWidget* bestLabel(bool left) const { return left ? m_leftBest : m_rightBest; }
    PhotoPicture* photo(bool left) const { return left ? m_leftPhoto : m_rightPhoto; }

    // A photo's info line: "4032 × 3024 · 2.1 MB" from the file's header and size (0 bytes when
    // the size cannot be read); empty when the file is not a readable image.
    static QString photoInfo(const QString& path);

private:
    // One photo and its lines, for a column of the grid the two halves share; the name is
    // handed back with the rest.
    QLabel* half(const QString& path, bool best, QLabel*& info, QWidget*& bestLabel,
                 PhotoPicture*& photo);

    ComparePair m_pair;
    QPushButton* m_done;
    QLabel* m_leftInfo = nullptr;
    QLabel* m_rightInfo = nullptr;
    QWidget* m_leftBest = nullptr;
    QWidget* m_rightBest = nullptr;
    PhotoPicture* m_leftPhoto = nullptr;
    PhotoPicture* m_rightPhoto = nullptr;
};
