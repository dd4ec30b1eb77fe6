#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

// A picture read from a file, drawn in a rounded frame: filling the frame (cropped, aspect kept)
// for thumbnails, or whole on a faint dark backdrop for the side-by-side sheet. A file that is not
// a readable image shows a filled frame with a symbol instead ("doc" for a file, "photo" for a
// photo). It only shows: it takes neither the focus nor a click, and reads as a picture named
// after the file. The file is read and decoded on the thread pool, never on the main thread (a
// camera photo takes tens of milliseconds, and a list builds several rows at once): the frame
// shows the symbol until the picture arrives, then imageLoaded() is emitted.
class PhotoPicture : public QWidget {
    Q_OBJECT
public:
    enum class Mode { Fill, Fit };

    // `decodeEdge` bounds the longest side the picture is decoded at (in device pixels).
    PhotoPicture(const QString& path, Mode mode, const QString& placeholderSymbol, qreal radius,
                 int decodeEdge, QWidget* parent = nullptr);

    bool hasImage() const { return !m_image.isNull(); }
    // True until the read has ended, picture or not.
    bool isLoading() const { return m_loading; }
    QString path() const { return m_path; }
    // The picture wears the focus ring over its frame while `owner` shows keyboard focus: the
    // control it is the face of, which repaints it as its focus changes.
    void ringFor(QWidget* owner);

signals:
    void imageLoaded();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintPicture(QPainter& p);
    // What the focus ring covers, unfocused: the colour it must stand apart from.
    QColor ringUnder() const;

    QString m_path;
    Mode m_mode;
    QString m_placeholder;
    qreal m_radius;
    QImage m_image;
    bool m_loading = true;
    QPointer<QWidget> m_ringOwner;
};
