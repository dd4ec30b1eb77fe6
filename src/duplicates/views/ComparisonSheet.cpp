#include "duplicates/views/ComparisonSheet.h"

#include "duplicates/DuplicatesText.h"
#include "duplicates/views/BestQualityLabel.h"
#include "duplicates/views/PhotoPicture.h"
#include "platform/PhotoImage.h"
#include "platform/RegularFile.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKLayout.h"

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

    using namespace QKLayout;
    Box column = QKLayout::column(
        {20, 20, 20, 20}, 12,
        {row({QKBuild::label(DuplicatesText::sheetTitle(), TextStyle::Headline,
                             QKForeground::Primary, this, std::nullopt, false),
              stretch(1),
              part(m_done = QKBuild::button(DuplicatesText::doneLabel(), false, this))
                  .name(QStringLiteral("sheetDone"))
                  .with([](QPushButton* done) { done->setDefault(true); })})});
    connect(m_done, &QPushButton::clicked, this, &QDialog::accept);

    // The two halves share the rows of one grid, so the photos are of one height and their
    // lines stand level whichever half has the "Best quality" line. Each half is made whole
    // before the other, so a reader reads one photo's lines before the next photo.
    QLabel* leftName = half(pair.left, pair.leftIsBest, m_leftInfo, m_leftBest, m_leftPhoto);
    QLabel* rightName = half(pair.right, pair.rightIsBest, m_rightInfo, m_rightBest, m_rightPhoto);
    const auto cell = [](QWidget* w) { return w ? Item(w) : space(0); };
    column
        .add(grid(16, 6,
                  {{m_leftPhoto, m_rightPhoto},
                   {cell(m_leftBest), cell(m_rightBest)},
                   {leftName, rightName},
                   {m_leftInfo, m_rightInfo}})
                 .stretchColumn(0, 1)
                 .stretchColumn(1, 1)
                 .stretchRow(0, 1)
                 .stretch(1))
        .on(this);
}

QLabel* ComparisonSheet::half(const QString& path, bool best, QLabel*& info, QWidget*& bestLabel,
                              PhotoPicture*& photo) {
    photo = new PhotoPicture(path, PhotoPicture::Mode::Fit, "photo"_sym, 8, 1600, this);
    photo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    if (best)
        bestLabel = new BestQualityLabel(TextStyle::Caption, this);
    auto* name = QKBuild::label(DuplicatesText::shownName(path), TextStyle::Caption,
                                QKForeground::Primary, this, std::nullopt, false);
    name->setObjectName(QStringLiteral("photoName"));
    name->setMinimumWidth(10);
    name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    info = QKBuild::label(photoInfo(path), TextStyle::Caption2, QKForeground::Secondary, this,
                          std::nullopt, false);
    info->setObjectName(QStringLiteral("photoInfo"));
    info->setMinimumWidth(10);
    info->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return name;
}
