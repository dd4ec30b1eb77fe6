#pragma once

#include "duplicates/SimilarPhotoGroup.h"

#include <functional>
#include <QWidget>

class QLabel;
class QPushButton;
class PhotoThumb;

// One look-alike set: "3 photos look the same · best one marked", a sideways scrolling row of
// photo cells (the thumbnail, "Best quality" under the first, the file name) and "Keep best,
// trash 2". The cells are `thumbSize` points wide and 0.7 of that high, and follow
// setThumbSize() live. A click on a thumbnail reports the photo; the button reports the set.
class SimilarSetRow : public QWidget {
    Q_OBJECT
public:
    SimilarSetRow(const SimilarPhotoGroup& set, double thumbSize, QWidget* parent = nullptr);

    const SimilarPhotoGroup& set() const { return m_set; }
    void setThumbSize(double size);

signals:
    void photoClicked(const QString& path);
    void keepBestRequested();

private:
    SimilarPhotoGroup m_set;
    QLabel* m_header;
    QPushButton* m_keepBest;
    QList<QWidget*> m_cells;
    QList<PhotoThumb*> m_thumbs;
    class QScrollArea* m_scroll;
    QWidget* m_strip;
};
