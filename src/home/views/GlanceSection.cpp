#include "home/views/GlanceSection.h"

#include "home/views/SymbolTile.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKGridLayout.h"
#include "ui-kit/QKLayout.h"

#include <QLabel>

GlanceTileView::GlanceTileView(QWidget* parent) : QWidget(parent) {
    using namespace QKLayout;
    flushColumn(
        {part(m_card = new QKCardSurface(14, false, this))
             .holding(
                 row({14, 14, 14, 14}, 10,
                     {part(m_symbol = new SymbolTile(QString(), HomeTone::Green, 28, 8,
                                                     QKFont{.style = TextStyle::Callout}, m_card))
                          .align(Qt::AlignTop),
                      column(3, {part(m_title = QKBuild::label(QString(), TextStyle::Caption,
                                                               QKForeground::Secondary, m_card,
                                                               QFont::DemiBold))
                                     .name(QStringLiteral("glanceTitle")),
                                 part(m_message = QKBuild::label(QString(), TextStyle::Callout,
                                                                 QKForeground::Primary, m_card,
                                                                 QFont::DemiBold))
                                     .name(QStringLiteral("glanceMessage")),
                                 part(m_figure = QKBuild::label(QString(), TextStyle::Caption,
                                                                QKForeground::Tertiary, m_card))
                                     .name(QStringLiteral("glanceFigure")),
                                 stretch(1)})
                          .stretch(1)}))})
        .on(this);
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
    using namespace QKLayout;
    QWidget* grid = nullptr;
    column({0, 0, 0, 0}, 10,
           {QKBuild::label(GlanceText::title(), TextStyle::Headline, QKForeground::Primary, this),
            part(grid = new QWidget(this))})
        .on(this);
    Tiles cards = tiles(210, 12);
    for (int i = 0; i < 4; ++i) {
        m_tiles.append(new GlanceTileView(grid));
        cards.add(m_tiles.last());
    }
    m_grid = cards.on(grid);
}

void GlanceSection::showSnapshot(const SystemSnapshot& snapshot) {
    const QList<GlanceText::Tile> tiles = GlanceText::tiles(snapshot);
    for (int i = 0; i < tiles.size() && i < m_tiles.size(); ++i)
        m_tiles.at(i)->setTile(tiles.at(i));
}
