#include "duplicates/views/ComparisonSheet.h"

#include "duplicates/DuplicatesText.h"
#include "duplicates/views/BestQualityLabel.h"
#include "duplicates/views/PhotoThumb.h"
#include "platform/PhotoImage.h"
#include "platform/RegularFile.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QString ComparisonSheet::photoInfo(const QString& path) {
    const RegularFile file(path);
    if (!file.isOpen())
        return QString();
    const std::optional<QSize> pixels = PhotoImage::pixelSize(file.descriptorPath());
    if (!pixels)
        return QString();
    return DuplicatesText::photoInfo(*pixels, file.size());
}

ComparisonSheet::ComparisonSheet(const ComparePair& pair, QWidget* parent)
    : QDialog(parent), m_pair(pair) {
    setObjectName(QStringLiteral("comparisonSheet"));
    setWindowTitle(DuplicatesText::sheetTitle());
    setWindowModality(Qt::WindowModal);
    setFixedSize(900, 620);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(12);
    auto* header = new QHBoxLayout;
    header->addWidget(QKBuild::label(DuplicatesText::sheetTitle(), TextStyle::Headline,
                                     QKForeground::Primary, this, std::nullopt, false));
    header->addStretch(1);
    m_done = QKBuild::button(DuplicatesText::doneLabel(), false, this);
    m_done->setObjectName(QStringLiteral("sheetDone"));
    m_done->setDefault(true);
    connect(m_done, &QPushButton::clicked, this, &QDialog::accept);
    header->addWidget(m_done);
    column->addLayout(header);

    auto* halves = new QHBoxLayout;
    halves->setSpacing(16);
    halves->addWidget(half(pair.left, pair.leftIsBest, m_leftInfo, m_leftBest, m_leftPhoto), 1);
    halves->addWidget(half(pair.right, pair.rightIsBest, m_rightInfo, m_rightBest, m_rightPhoto),
                      1);
    column->addLayout(halves, 1);
}

QWidget* ComparisonSheet::half(const QString& path, bool best, QLabel*& info, QWidget*& bestLabel,
                               PhotoThumb*& photo) {
    auto* side = new QWidget(this);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    photo = new PhotoThumb(path, PhotoThumb::Mode::Fit, "photo"_sym, 8, 1600, side);
    photo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    photo->setCursor(Qt::ArrowCursor);
    column->addWidget(photo, 1);
    if (best) {
        bestLabel = new BestQualityLabel(TextStyle::Caption, side);
        column->addWidget(bestLabel);
    }
    auto* name = QKBuild::label(DuplicatesText::shownName(path), TextStyle::Caption,
                                QKForeground::Primary, side, std::nullopt, false);
    name->setObjectName(QStringLiteral("photoName"));
    name->setMinimumWidth(10);
    name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    column->addWidget(name);
    info = QKBuild::label(photoInfo(path), TextStyle::Caption2, QKForeground::Secondary, side,
                          std::nullopt, false);
    info->setObjectName(QStringLiteral("photoInfo"));
    column->addWidget(info);
    return side;
}
