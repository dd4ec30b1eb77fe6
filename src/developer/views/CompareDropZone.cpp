#include "developer/views/CompareDropZone.h"

#include "developer/FileCompareText.h"
#include "platform/SymbolName.h"
#include "ui-kit/Color.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKPaint.h"
#include "ui-kit/QKSymbol.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QLayout>
#include <QMimeData>
#include <QPainter>
#include <QToolTip>

CompareDropZone::CompareDropZone(bool left, QWidget* parent)
    : QAbstractButton(parent), m_left(left) {
    setObjectName(left ? QStringLiteral("compareLeftZone") : QStringLiteral("compareRightZone"));
    setAcceptDrops(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    QKFocusRing::pressOnReturn(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    using namespace QKLayout;
    row({10, 10, 10, 10}, {part(m_symbol = new QKSymbol("doc.badge.plus"_sym,
                                                        QKFont{.style = TextStyle::Title3}, this))
                               .name(QStringLiteral("zoneSymbol"))
                               .align(Qt::AlignVCenter),
                           column(1, {part(m_name = new QKLineLabel(QString(), this))
                                          .name(QStringLiteral("zoneName"))
                                          .font(TextStyle::Body)
                                          .ink(QKForeground::Primary),
                                      part(m_detail = new QKLineLabel(QString(), this))
                                          .name(QStringLiteral("zoneDetail"))
                                          .font(TextStyle::Caption2)
                                          .ink(QKForeground::Secondary)})
                               .stretch(1)})
        .on(this);
    for (QWidget* child : {static_cast<QWidget*>(m_symbol), static_cast<QWidget*>(m_name),
                           static_cast<QWidget*>(m_detail)})
        child->setAttribute(Qt::WA_TransparentForMouseEvents);
    setFile(std::nullopt);
}

void CompareDropZone::setFile(const std::optional<QUrl>& file) {
    m_hasFile = file.has_value();
    m_symbol->setSymbol(m_hasFile ? QString("doc.fill"_sym) : QString("doc.badge.plus"_sym));
    QKForeground::apply(m_symbol, m_hasFile ? QKForeground::Tint : QKForeground::Secondary);
    m_name->setText(FileCompareText::zoneName(file, m_left));
    m_detail->setText(FileCompareText::zoneDetail(file));
    setAccessibleName(FileCompareText::zoneReaderName(file, m_left));
    setAccessibleDescription(m_detail->text());
}

std::optional<QUrl> CompareDropZone::firstLocalFile(const QList<QUrl>& urls) {
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return std::nullopt;
    return urls.first();
}

QSize CompareDropZone::sizeHint() const {
    QSize size = layout()->sizeHint();
    size.setHeight(std::max(size.height(), 48));
    return size;
}

QSize CompareDropZone::minimumSizeHint() const {
    return QSize(80, sizeHint().height());
}

bool CompareDropZone::event(QEvent* event) {
    // The texts ignore the mouse so the whole field is the button; the field shows in full
    // whichever of them it had to cut.
    if (event->type() != QEvent::ToolTip)
        return QAbstractButton::event(event);
    QStringList whole;
    for (const QKLineLabel* label : {m_name, m_detail}) {
        if (label->displayedText() != label->text())
            whole << label->text();
    }
    if (whole.isEmpty())
        return QAbstractButton::event(event);
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), whole.join(QLatin1Char('\n')),
                       this);
    return true;
}

void CompareDropZone::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // The quaternary fill at 40 %.
    QColor fill = QKForeground::color(QKForeground::Quaternary, palette());
    fill.setAlphaF(fill.alphaF() * 0.4f);
    QKPaint::fillRounded(p, QRectF(rect()), 8, fill);
    if (QKFocusRing::shows(this))
        QKFocusRing::paint(p, QRectF(rect()), 8, palette(),
                           Color::over(fill, palette().color(QPalette::Window)));
}

void CompareDropZone::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CompareDropZone::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CompareDropZone::dropEvent(QDropEvent* event) {
    // Taken at once whatever it holds; only a local file changes the side.
    event->acceptProposedAction();
    if (const std::optional<QUrl> file = firstLocalFile(event->mimeData()->urls()))
        emit dropped(*file);
}
