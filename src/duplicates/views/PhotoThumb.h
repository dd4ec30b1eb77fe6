#pragma once

#include <QAbstractButton>
#include <QImage>

// A picture read from a file, drawn in a rounded frame: filling the
// frame (cropped, aspect kept) for thumbnails, or whole on a faint dark backdrop for the
// side-by-side sheet. A file that is not a readable image shows a filled frame with a symbol
// instead ("doc" for a file, "photo" for a photo). The frame is a button named after the file:
// a click anywhere on it, Space or Return while it has the focus, or its accessible "Press"
// report clicked(), picture or not. A picture that only shows (inside a larger control, or
// beside another for comparison) is made one with showOnly(). The file is read and decoded on the
// thread pool, never on the main thread (a camera photo takes tens of milliseconds, and a list
// builds several rows at once): the frame shows the symbol until the picture arrives, then
// imageLoaded() is emitted.
class PhotoThumb : public QAbstractButton {
    Q_OBJECT
public:
    enum class Mode { Fill, Fit };

    // `decodeEdge` bounds the longest side the picture is decoded at (in device pixels).
    PhotoThumb(const QString& path, Mode mode, const QString& placeholderSymbol, qreal radius,
               int decodeEdge, QWidget* parent = nullptr);

    bool hasImage() const { return !m_image.isNull(); }
    // True until the read has ended, picture or not.
    bool isLoading() const { return m_loading; }
    QString path() const { return m_path; }
    // From now on the frame takes neither the focus nor the pointer (its parent gets the clicks)
    // and reads as a picture.
    void showOnly();

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
};
