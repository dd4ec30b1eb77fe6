#include "home/views/GlanceSection.h"

#include "home/views/SymbolTile.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKGridLayout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

GlanceTileView::GlanceTileView(QWidget* parent) : QWidget(parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_card = new QKCardSurface(14, false, this);
    outer->addWidget(m_card);
    auto* row = QKBuild::insetRow(m_card, {14, 14, 14, 14}, 10);
    m_symbol = new SymbolTile(QString(), HomeTone::Green, 28, 8,
                              QKFont{.style = TextStyle::Callout}, m_card);
    row->addWidget(m_symbol, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    m_title = QKBuild::label(QString(), TextStyle::Caption, QKForeground::Secondary, m_card,
                             QFont::DemiBold);
    m_title->setObjectName(QStringLiteral("glanceTitle"));
    m_message = QKBuild::label(QString(), TextStyle::Callout, QKForeground::Primary, m_card,
                               QFont::DemiBold);
    m_message->setObjectName(QStringLiteral("glanceMessage"));
    m_figure = QKBuild::label(QString(), TextStyle::Caption, QKForeground::Tertiary, m_card);
    m_figure->setObjectName(QStringLiteral("glanceFigure"));
    texts->addWidget(m_title);
    texts->addWidget(m_message);
    texts->addWidget(m_figure);
    texts->addStretch(1);
    row->addLayout(texts, 1);
}

void GlanceTileView::setTile(const GlanceText::Tile& tile) {
    if (tile == m_tile)
        return;
    m_tile = tile;
    setObjectName(QStringLiteral("glance-") + tile.title);
    m_symbol->setSymbol(tile.symbol, tile.tone);
    m_title->setText(tile.title);
    m_message->setText(tile.message);
    m_figure->setText(tile.figure);
}

GlanceSection::GlanceSection(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("glanceSection"));
    auto* column = QKBuild::insetColumn(this, {0, 0, 0, 0}, 10);
    column->addWidget(QKBuild::label(QStringLiteral("Your Mac at a glance"), TextStyle::Headline,
                                     QKForeground::Primary, this));
    auto* grid = new QWidget(this);
    m_grid = new QKGridLayout(210, 12, 12, grid);
    for (int i = 0; i < 4; ++i) {
        auto* tile = new GlanceTileView(grid);
        m_grid->addWidget(tile);
        m_tiles.append(tile);
    }
    column->addWidget(grid);
}

void GlanceSection::showSnapshot(const SystemSnapshot& snapshot) {
    const QList<GlanceText::Tile> tiles = GlanceText::tiles(snapshot);
    for (int i = 0; i < tiles.size() && i < m_tiles.size(); ++i)
        m_tiles.at(i)->setTile(tiles.at(i));
}
