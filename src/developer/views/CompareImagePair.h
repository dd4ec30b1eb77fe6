#pragma once

#include <optional>
#include <QImage>
#include <QUrl>
#include <QWidget>

class QStackedWidget;
class QBoxLayout;
class QKEmptyState;

// One picture of the image pair, scaled to fit its space with its proportions kept, on a dark
// rounded backdrop. The file is decoded on the shared thread pool (large pictures at a reduced
// size) and the picture handed back only while this widget still exists, so it may go at any
// time; anything that is not a readable regular file or does not decode is "not loaded".
class ComparePicture : public QWidget {
    Q_OBJECT
public:
    explicit ComparePicture(const QString& path, QWidget* parent = nullptr);

    bool isFinished() const { return m_finished; }
    bool hasImage() const { return !m_image.isNull(); }

    // The decode itself: a null image for anything unreadable. Safe on any thread.
    static QImage load(const QString& path, int maxEdge = 2400);

signals:
    void finished(bool ok);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
    bool m_finished = false;
};

// The image pair: one column per side that holds a file, first side first, each the picture
// (or "Can't preview") above the file's name.
class CompareImagePair : public QWidget {
    Q_OBJECT
public:
    explicit CompareImagePair(QWidget* parent = nullptr);

    void setFiles(const std::optional<QUrl>& left, const std::optional<QUrl>& right);
    // The columns now shown, first side first.
    QList<QWidget*> columns() const { return m_columns; }
    // Whether a column shows "Can't preview" (after its picture failed to load).
    static bool showsCannotPreview(QWidget* column);
    static ComparePicture* pictureOf(QWidget* column);

private:
    QWidget* makeColumn(const QUrl& file);

    QBoxLayout* m_row;
    QList<QWidget*> m_columns;
    std::optional<QUrl> m_left, m_right;
};
