#include "duplicates/views/SimilarSetRow.h"

#include "duplicates/DuplicatesText.h"
#include "duplicates/views/BestQualityLabel.h"
#include "duplicates/views/PhotoThumb.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLineLabel.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {
// The largest thumbnail edge, decoded once at twice that for sharp high-density screens.
constexpr int kDecodeEdge = 640;
} // namespace

SimilarSetRow::SimilarSetRow(const SimilarPhotoGroup& set, double thumbSize, QWidget* parent)
    : QWidget(parent), m_set(set) {
    setObjectName(QStringLiteral("similarSetRow"));
    using namespace QKLayout;
    Box column = QKLayout::column(
        {20, 8, 20, 8}, 8,
        {part(m_header = QKBuild::label(DuplicatesText::setHeader(int(set.files.size())),
                                        TextStyle::Caption, QKForeground::Secondary, this))
             .name(QStringLiteral("setHeader")),
         part(m_scroll = new QScrollArea(this))
             .accessibleName(DuplicatesText::setStripName(int(set.files.size())))
             .with([](QScrollArea* scroll) {
                 // Tab moves through the photos, each brought into view as it takes the focus; a
                 // stop of the strip's own would be an empty one before them.
                 scroll->setFocusPolicy(Qt::ClickFocus);
                 scroll->setFrameShape(QFrame::NoFrame);
                 scroll->setWidgetResizable(true);
                 scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                 scroll->viewport()->setAutoFillBackground(false);
             })});
    m_strip = new QWidget(m_scroll);
    m_strip->setAutoFillBackground(false);
    Box cells = row({0, 0, 0, 0}, 10, {});
    for (qsizetype i = 0; i < set.files.size(); ++i) {
        const QString path = set.files.at(i);
        auto* cell = new QWidget(m_strip);
        PhotoThumb* thumb = nullptr;
        Box cellColumn =
            QKLayout::column({0, 0, 0, 0}, 4,
                             {part(thumb = new PhotoThumb(path, PhotoThumb::Mode::Fill, "photo"_sym,
                                                          6, kDecodeEdge, cell))
                                  .name(QStringLiteral("setPhoto"))});
        connect(thumb, &PhotoThumb::clicked, this, [this, path] { emit photoClicked(path); });
        if (i == 0)
            cellColumn.add(new BestQualityLabel(TextStyle::Caption2, cell));
        // As wide as the photo: a longer name ends in "…", and the tooltip has the whole path.
        cellColumn
            .add(part(new QKLineLabel(DuplicatesText::shownName(path), cell))
                     .name(QStringLiteral("photoName"))
                     .font(TextStyle::Caption2)
                     .ink(QKForeground::Secondary)
                     .with([&path](QKLineLabel* name) {
                         name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
                         name->setToolTip(DuplicatesText::shownPath(path));
                     }))
            .add(stretch(1))
            .on(cell);
        cells.add(part(cell).align(Qt::AlignTop));
        m_cells.append(cell);
        m_thumbs.append(thumb);
    }
    cells.add(stretch(1)).on(m_strip);
    m_scroll->setWidget(m_strip);

    column
        .add(row({part(m_keepBest = QKBuild::button(
                           DuplicatesText::keepBestButton(int(set.files.size()) - 1), true, this))
                      .name(QStringLiteral("keepBest")),
                  stretch(1)}))
        .on(this);
    connect(m_keepBest, &QPushButton::clicked, this, &SimilarSetRow::keepBestRequested);
    setThumbSize(thumbSize);
}

void SimilarSetRow::setThumbSize(double size) {
    const int width = int(std::lround(size));
    const int height = int(std::lround(size * 0.7));
    for (QWidget* cell : m_cells)
        cell->setFixedWidth(width);
    for (PhotoThumb* thumb : m_thumbs)
        thumb->setFixedSize(width, height);
    m_strip->adjustSize();
    m_scroll->setFixedHeight(m_strip->sizeHint().height() +
                             m_scroll->horizontalScrollBar()->sizeHint().height());
}
