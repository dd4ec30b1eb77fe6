#include "duplicates/views/ComparisonSheet.h"

#include "duplicates/DuplicatesText.h"
#include "duplicates/views/BestQualityLabel.h"
#include "duplicates/views/PhotoPicture.h"
#include "platform/PhotoImage.h"
#include "platform/RegularFile.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"

#include <QGridLayout>
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

    auto* column = QKBuild::insetColumn(this, {20, 20, 20, 20}, 12);
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

    // The two halves share the rows of one grid, so the photos are of one height and their
    // lines stand level whichever half has the "Best quality" line.
    auto* halves = new QGridLayout;
    halves->setHorizontalSpacing(16);
    halves->setVerticalSpacing(6);
    halves->setColumnStretch(0, 1);
    halves->setColumnStretch(1, 1);
    halves->setRowStretch(0, 1);
    half(halves, 0, pair.left, pair.leftIsBest, m_leftInfo, m_leftBest, m_leftPhoto);
    half(halves, 1, pair.right, pair.rightIsBest, m_rightInfo, m_rightBest, m_rightPhoto);
    column->addLayout(halves, 1);
}

void ComparisonSheet::half(QGridLayout* grid, int column, const QString& path, bool best,
                           QLabel*& info, QWidget*& bestLabel, PhotoPicture*& photo) {
    photo = new PhotoPicture(path, PhotoPicture::Mode::Fit, "photo"_sym, 8, 1600, this);
    photo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    grid->addWidget(photo, 0, column);
    if (best) {
        bestLabel = new BestQualityLabel(TextStyle::Caption, this);
        grid->addWidget(bestLabel, 1, column);
    }
    auto* name = QKBuild::label(DuplicatesText::shownName(path), TextStyle::Caption,
                                QKForeground::Primary, this, std::nullopt, false);
    name->setObjectName(QStringLiteral("photoName"));
    name->setMinimumWidth(10);
    name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    grid->addWidget(name, 2, column);
    info = QKBuild::label(photoInfo(path), TextStyle::Caption2, QKForeground::Secondary, this,
                          std::nullopt, false);
    info->setObjectName(QStringLiteral("photoInfo"));
    info->setMinimumWidth(10);
    info->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    grid->addWidget(info, 3, column);
}
