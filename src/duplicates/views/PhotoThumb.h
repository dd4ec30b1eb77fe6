#pragma once

#include "duplicates/views/PhotoPicture.h"

#include <QAbstractButton>

// A picture that is a button named after its file: a click anywhere on it, Space or Return while
// it has the focus, or its accessible "Press" report clicked(), picture or not. The picture itself
// is a PhotoPicture filling the button; one that only shows is a PhotoPicture alone.
class PhotoThumb : public QAbstractButton {
    Q_OBJECT
public:
    using Mode = PhotoPicture::Mode;

    PhotoThumb(const QString& path, Mode mode, const QString& placeholderSymbol, qreal radius,
               int decodeEdge, QWidget* parent = nullptr);

    bool hasImage() const { return m_picture->hasImage(); }
    bool isLoading() const { return m_picture->isLoading(); }
    QString path() const { return m_picture->path(); }

signals:
    void imageLoaded();

protected:
    void paintEvent(QPaintEvent*) override {} // the picture draws it all
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    PhotoPicture* m_picture;
};
