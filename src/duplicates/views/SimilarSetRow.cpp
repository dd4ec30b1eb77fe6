#include "duplicates/views/SimilarSetRow.h"

#include "duplicates/DuplicatesText.h"
#include "duplicates/views/BestQualityLabel.h"
#include "duplicates/views/PhotoThumb.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKLineLabel.h"

#include <QHBoxLayout>
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
    auto* column = QKBuild::insetColumn(this, {20, 8, 20, 8}, 8);
    m_header = QKBuild::label(DuplicatesText::setHeader(int(set.files.size())), TextStyle::Caption,
                              QKForeground::Secondary, this);
    m_header->setObjectName(QStringLiteral("setHeader"));
    column->addWidget(m_header);

    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_strip = new QWidget(m_scroll);
    m_strip->setAutoFillBackground(false);
    auto* cells = QKBuild::insetRow(m_strip, {0, 0, 0, 0}, 10);
    for (qsizetype i = 0; i < set.files.size(); ++i) {
        const QString path = set.files.at(i);
        auto* cell = new QWidget(m_strip);
        auto* cellColumn = QKBuild::insetColumn(cell, {0, 0, 0, 0}, 4);
        auto* thumb =
            new PhotoThumb(path, PhotoThumb::Mode::Fill, "photo"_sym, 6, kDecodeEdge, cell);
        thumb->setObjectName(QStringLiteral("setPhoto"));
        connect(thumb, &PhotoThumb::clicked, this, [this, path] { emit photoClicked(path); });
        cellColumn->addWidget(thumb);
        if (i == 0)
            cellColumn->addWidget(new BestQualityLabel(TextStyle::Caption2, cell));
        // As wide as the photo: a longer name ends in "…", and the tooltip has the whole path.
        auto* name = new QKLineLabel(DuplicatesText::shownName(path), cell);
        name->setObjectName(QStringLiteral("photoName"));
        QKFont::apply(name, TextStyle::Caption2);
        QKForeground::apply(name, QKForeground::Secondary);
        name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        name->setToolTip(DuplicatesText::shownPath(path));
        cellColumn->addWidget(name);
        cellColumn->addStretch(1);
        cells->addWidget(cell, 0, Qt::AlignTop);
        m_cells.append(cell);
        m_thumbs.append(thumb);
    }
    cells->addStretch(1);
    m_scroll->setWidget(m_strip);
    column->addWidget(m_scroll);

    m_keepBest =
        QKBuild::button(DuplicatesText::keepBestButton(int(set.files.size()) - 1), true, this);
    m_keepBest->setObjectName(QStringLiteral("keepBest"));
    connect(m_keepBest, &QPushButton::clicked, this, &SimilarSetRow::keepBestRequested);
    auto* actions = new QHBoxLayout;
    actions->addWidget(m_keepBest);
    actions->addStretch(1);
    column->addLayout(actions);
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
