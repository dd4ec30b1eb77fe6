#include "duplicates/views/PhotoThumb.h"

#include "duplicates/DuplicatesText.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKLayout.h"

PhotoThumb::PhotoThumb(const QString& path, Mode mode, const QString& placeholderSymbol,
                       qreal radius, int decodeEdge, QWidget* parent)
    : QAbstractButton(parent) {
    // A button's own size policy would hold the frame to its size hint; it takes what it is given.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(DuplicatesText::shownName(path));
    setToolTip(DuplicatesText::shownPath(path));
    QKFocusRing::pressOnReturn(this);
    m_picture = new PhotoPicture(path, mode, placeholderSymbol, radius, decodeEdge, this);
    m_picture->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_picture->ringFor(this);
    QKLayout::column(QMargins(), {m_picture}).on(this);
    connect(m_picture, &PhotoPicture::imageLoaded, this, &PhotoThumb::imageLoaded);
}

void PhotoThumb::focusInEvent(QFocusEvent* event) {
    QAbstractButton::focusInEvent(event);
    m_picture->update();
}

void PhotoThumb::focusOutEvent(QFocusEvent* event) {
    QAbstractButton::focusOutEvent(event);
    m_picture->update();
}
