#include "developer/views/CompareImagePair.h"

#include "developer/FileCompareText.h"
#include "platform/RegularFile.h"
#include "platform/SymbolName.h"
#include "shell/ScanJob.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLineLabel.h"

#include <QBoxLayout>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QStackedWidget>

ComparePicture::ComparePicture(const QString& path, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("comparePicture"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(80, 80);
    ScanJob::runInPool([self = QPointer(this), path] {
        QImage image = load(path);
        ScanJob::deliver(self, [image = std::move(image)](ComparePicture* picture) {
            picture->m_image = image;
            picture->m_finished = true;
            picture->update();
            emit picture->finished(!image.isNull());
        });
    });
}

QImage ComparePicture::load(const QString& path, int maxEdge) {
    // Opened here rather than by the reader: a FIFO or device named like a picture would block
    // it forever, and its own open would move the access time.
    QFile file;
    if (RegularFile opened(path); !opened.moveInto(file))
        return {};
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && std::max(size.width(), size.height()) > maxEdge)
        reader.setScaledSize(size.scaled(maxEdge, maxEdge, Qt::KeepAspectRatio));
    return reader.read();
}

void ComparePicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_image.isNull())
        return;
    const QSize fitted = m_image.size().scaled(size(), Qt::KeepAspectRatio);
    const QRectF target(
        QPointF((width() - fitted.width()) / 2.0, (height() - fitted.height()) / 2.0),
        QSizeF(fitted));
    QPainterPath shape;
    shape.addRoundedRect(target, 8, 8);
    p.fillPath(shape, QColor(0, 0, 0, 38)); // black at 15 %
    p.setClipPath(shape);
    p.drawImage(target, m_image);
}

CompareImagePair::CompareImagePair(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("compareImagePair"));
    QKLayout::row({16, 16, 16, 16}, 16, {}).keep(m_row).on(this);
}

void CompareImagePair::setFiles(const std::optional<QUrl>& left, const std::optional<QUrl>& right) {
    if (left == m_left && right == m_right && !m_columns.isEmpty())
        return;
    m_left = left;
    m_right = right;
    for (QWidget* column : std::as_const(m_columns))
        delete column;
    m_columns.clear();
    for (const std::optional<QUrl>& file : {left, right}) {
        if (!file)
            continue;
        QWidget* column = makeColumn(*file);
        QKLayout::items({QKLayout::part(column).stretch(1)}).fill(m_row);
        m_columns.append(column);
    }
}

QWidget* CompareImagePair::makeColumn(const QUrl& file) {
    auto* column = new QWidget(this);
    using namespace QKLayout;
    QStackedWidget* stack = nullptr;
    Box lines = QKLayout::column(
        {0, 0, 0, 0}, 6,
        {part(stack = new QStackedWidget(column)).name(QStringLiteral("pictureStack")).stretch(1)});
    auto* picture = new ComparePicture(file.toLocalFile(), stack);
    auto* cannot =
        new QKEmptyState(FileCompareText::cannotPreviewTitle(), "photo"_sym, std::nullopt, stack);
    cannot->setObjectName(QStringLiteral("cannotPreview"));
    stack->addWidget(picture);
    stack->addWidget(cannot);
    connect(picture, &ComparePicture::finished, stack, [stack, cannot](bool ok) {
        if (!ok)
            stack->setCurrentWidget(cannot);
    });
    lines
        .add(part(new QKLineLabel(FileCompareText::zoneName(file, true), column))
                 .name(QStringLiteral("pictureName"))
                 .with([](QKLineLabel* name) {
                     name->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
                 })
                 .font(TextStyle::Caption)
                 .ink(QKForeground::Primary))
        .on(column);
    return column;
}

bool CompareImagePair::showsCannotPreview(QWidget* column) {
    auto* stack =
        column ? column->findChild<QStackedWidget*>(QStringLiteral("pictureStack")) : nullptr;
    return stack && stack->currentWidget() &&
           stack->currentWidget()->objectName() == QLatin1String("cannotPreview");
}

ComparePicture* CompareImagePair::pictureOf(QWidget* column) {
    return column ? column->findChild<ComparePicture*>() : nullptr;
}
