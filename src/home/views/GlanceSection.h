#pragma once

#include "home/GlanceText.h"

#include <QList>
#include <QWidget>

class QKGridLayout;
class QLabel;
class QKCardSurface;
class SymbolTile;

// One read-only tile of "Your Mac at a glance": a tinted symbol beside its title, a sentence
// and a figure.
class GlanceTileView : public QWidget {
    Q_OBJECT
public:
    explicit GlanceTileView(QWidget* parent = nullptr);

    void setTile(const GlanceText::Tile& tile);

private:
    GlanceText::Tile m_tile;
    QKCardSurface* m_card;
    SymbolTile* m_symbol;
    QLabel* m_title;
    QLabel* m_message;
    QLabel* m_figure;
};

// "Your Mac at a glance": the four tiles in an adaptive grid of columns at least 210 points
// wide, updated in place with every sample.
class GlanceSection : public QWidget {
    Q_OBJECT
public:
    explicit GlanceSection(QWidget* parent = nullptr);

    void showSnapshot(const SystemSnapshot& snapshot);

private:
    QKGridLayout* m_grid;
    QList<GlanceTileView*> m_tiles;
};
