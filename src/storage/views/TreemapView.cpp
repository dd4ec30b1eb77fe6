#include "storage/views/TreemapView.h"

#include "platform/ByteFormat.h"
#include "storage/DiskMapText.h"
#include "storage/views/CategoryColors.h"
#include "storage/views/TreemapViewAccessible.h"
#include "ui-kit/Color.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKSymbol.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

namespace {

constexpr qreal kRadius = 4;
constexpr qreal kInset = 5;

} // namespace

TreemapView::TreemapView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("treemapView"));
    TreemapViewAccessible::installFactory();
    setAccessibleName(DiskMapText::title());
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    // The empty state stands over the whole view while there is no tile to draw.
    using namespace QKLayout;
    m_empty = new QWidget(this);
    m_empty->setObjectName(QStringLiteral("treemapEmpty"));
    const auto centred = [](QLabel* label) { label->setAlignment(Qt::AlignHCenter); };
    column(8, {stretch(1),
               part(new QKSymbol(QStringLiteral("square.grid.2x2"), QKFont{.fixedSize = 32},
                                 QKForeground::Tertiary, m_empty))
                   .align(Qt::AlignHCenter),
               part(QKBuild::label(DiskMapText::emptyTreemapTitle(), TextStyle::Body,
                                   QKForeground::Secondary, m_empty))
                   .with(centred),
               part(m_emptyMessage =
                        QKBuild::label(DiskMapText::emptyTreemapMessage(), TextStyle::Caption,
                                       QKForeground::Tertiary, m_empty))
                   .name(QStringLiteral("treemapEmptyMessage"))
                   .with(centred),
               stretch(1)})
        .on(m_empty);
    relayout();
}

void TreemapView::setNodes(QList<MapNode> nodes) {
    m_nodes = std::move(nodes);
    relayout();
}

void TreemapView::setSelection(const std::optional<MapNode>& selection) {
    m_selection = selection;
    update();
}

const QList<TreemapTile>& TreemapView::tiles() const {
    return m_tiles;
}

bool TreemapView::showsEmptyState() const {
    return m_tiles.isEmpty();
}

QRectF TreemapView::frameOf(const TreemapTile& tile) {
    const QRectF& r = tile.rect;
    const qreal w = std::max<qreal>(r.width(), 1), h = std::max<qreal>(r.height(), 1);
    return QRectF(r.center().x() - w / 2, r.center().y() - h / 2, w, h);
}

const TreemapTile* TreemapView::tileAt(const QPointF& point) const {
    // Later tiles lie on top where the 1-point minimum makes frames overlap.
    for (auto it = m_tiles.crbegin(); it != m_tiles.crend(); ++it) {
        if (frameOf(*it).contains(point))
            return &*it;
    }
    return nullptr;
}

int TreemapView::currentTile() const {
    if (!m_current)
        return -1;
    for (int i = 0; i < m_tiles.size(); ++i)
        if (m_tiles.at(i).id == *m_current)
            return i;
    return -1;
}

void TreemapView::relayout() {
    m_tiles = TreemapLayout::squarifiedTreemap(m_nodes, QRectF(QPointF(0, 0), QSizeF(size())));
    m_empty->setGeometry(rect());
    m_empty->setVisible(m_tiles.isEmpty());
    if (m_tiles.isEmpty())
        m_emptyMessage->setText(DiskMapText::emptyTreemapMessage(m_nodes));
    // Another folder: the keyboard starts again at its largest tile.
    if (currentTile() < 0) {
        m_current.reset();
        if (hasFocus() && !m_tiles.isEmpty())
            setCurrent(0);
    }
    update();
}

void TreemapView::updateTile(const QString& id) {
    for (const TreemapTile& tile : std::as_const(m_tiles)) {
        if (tile.id == id) {
            update(frameOf(tile).toAlignedRect().adjusted(-2, -2, 2, 2));
            return;
        }
    }
}

void TreemapView::setCurrent(int index) {
    if (index < 0 || index >= m_tiles.size())
        return;
    if (m_current)
        updateTile(*m_current);
    m_current = m_tiles.at(index).id;
    updateTile(*m_current);
    announceCurrent();
}

void TreemapView::announceCurrent() {
    const int index = currentTile();
    if (!hasFocus() || index < 0)
        return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(index);
    QAccessible::updateAccessibility(&focus);
}

void TreemapView::clickTile(int index) {
    if (index < 0 || index >= m_tiles.size())
        return;
    const MapNode node = m_tiles.at(index).node;
    m_selection = node;
    setCurrent(index);
    update();
    emit selectionClicked(node);
}

void TreemapView::openTile(int index) {
    if (index < 0 || index >= m_tiles.size() || !m_tiles.at(index).node.hasChildren())
        return;
    const MapNode node = m_tiles.at(index).node;
    emit drillInRequested(node);
}

int TreemapView::neighbour(Qt::Key arrow) const {
    const int from = currentTile();
    if (from < 0)
        return m_tiles.isEmpty() ? -1 : 0;
    const QRectF here = frameOf(m_tiles.at(from));
    const bool across = arrow == Qt::Key_Left || arrow == Qt::Key_Right;
    const bool forward = arrow == Qt::Key_Right || arrow == Qt::Key_Down;
    // A tile lies that way when its near edge is past this one's centre; of those, the nearest
    // wins: how far its centre lies that way, plus thrice how far aside it stands (the gap
    // between the two on the other axis, none where they overlap).
    int best = -1;
    qreal bestScore = 0;
    for (int i = 0; i < m_tiles.size(); ++i) {
        if (i == from)
            continue;
        const QRectF there = frameOf(m_tiles.at(i));
        const qreal nearEdge =
            across
                ? (forward ? there.left() - here.center().x() : here.center().x() - there.right())
                : (forward ? there.top() - here.center().y() : here.center().y() - there.bottom());
        if (nearEdge < 0)
            continue;
        qreal along = across ? there.center().x() - here.center().x()
                             : there.center().y() - here.center().y();
        if (!forward)
            along = -along;
        const qreal aside =
            across ? std::max<qreal>({0, there.top() - here.bottom(), here.top() - there.bottom()})
                   : std::max<qreal>({0, there.left() - here.right(), here.left() - there.right()});
        const qreal score = along + 3 * aside;
        if (best < 0 || score < bestScore) {
            best = i;
            bestScore = score;
        }
    }
    return best;
}

void TreemapView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier && event->key() == Qt::Key_Backspace) {
        emit upRequested();
        return;
    }
    if (mods != Qt::NoModifier || m_tiles.isEmpty())
        return QWidget::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        // At the edge the focus stays: an arrow never leaves the map.
        clickTile(neighbour(Qt::Key(event->key())));
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        openTile(currentTile());
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TreemapView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (m_tiles.isEmpty())
        return;
    if (currentTile() < 0 && m_selection)
        m_current = m_selection->id;
    if (currentTile() < 0)
        m_current = m_tiles.constFirst().id;
    update();
    // Qt tells of the map's own focus once this returns: the tile is told after it, so a reader
    // ends on the tile, not on the map.
    QMetaObject::invokeMethod(this, &TreemapView::announceCurrent, Qt::QueuedConnection);
}

void TreemapView::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void TreemapView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

void TreemapView::setHovered(std::optional<QString> id) {
    if (id == m_hovered)
        return;
    // Only the two tiles whose fill changes are painted again, however many there are.
    QRectF dirty;
    for (const TreemapTile& tile : std::as_const(m_tiles)) {
        if ((m_hovered && tile.id == *m_hovered) || (id && tile.id == *id))
            dirty = dirty.united(frameOf(tile));
    }
    m_hovered = std::move(id);
    if (!dirty.isEmpty())
        update(dirty.toAlignedRect().adjusted(-2, -2, 2, 2));
}

void TreemapView::mouseMoveEvent(QMouseEvent* event) {
    const TreemapTile* tile = tileAt(event->position());
    setHovered(tile ? std::optional<QString>(tile->id) : std::nullopt);
    QWidget::mouseMoveEvent(event);
}

void TreemapView::leaveEvent(QEvent* event) {
    setHovered(std::nullopt);
    QWidget::leaveEvent(event);
}

void TreemapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    if (const TreemapTile* tile = tileAt(event->position()))
        clickTile(int(tile - m_tiles.constData()));
}

void TreemapView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseDoubleClickEvent(event);
    if (const TreemapTile* tile = tileAt(event->position()))
        openTile(int(tile - m_tiles.constData()));
}

bool TreemapView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (const TreemapTile* tile = tileAt(help->pos()))
            QToolTip::showText(help->globalPos(), DiskMapText::tileHelp(tile->node), this,
                               frameOf(*tile).toAlignedRect());
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void TreemapView::paintEvent(QPaintEvent* event) {
    if (m_tiles.isEmpty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF dirty = QRectF(event->rect()).adjusted(-2, -2, 2, 2);
    const LabelFonts fonts{QKFont{.style = TextStyle::Caption, .weight = QFont::DemiBold}.current(),
                           QKFont{.style = TextStyle::Caption2}.current()};
    for (const TreemapTile& tile : std::as_const(m_tiles)) {
        if (frameOf(tile).intersects(dirty))
            paintTile(p, tile, fonts);
    }
    if (QKFocusRing::shows(this))
        paintMapRing(p);
    if (const int current = currentTile(); current >= 0 && QKFocusRing::shows(this)) {
        const TreemapTile& tile = m_tiles.at(current);
        paintTileRing(p, tile, frameOf(tile), around(tile));
    }
}

void TreemapView::paintTileRing(QPainter& p, const TreemapTile& tile, const QRectF& frame,
                                const QList<QColor>& outside) const {
    if (m_selection && m_selection->id == tile.id) {
        const Border border = borderOf(tile);
        const qreal in = border.width;
        QKFocusRing::paint(p, frame.adjusted(in, in, -in, -in), std::max<qreal>(kRadius - in, 0),
                           palette(), fillOf(tile), {border.colour});
        return;
    }
    QKFocusRing::paint(p, frame, kRadius, palette(), fillOf(tile), outside);
}

void TreemapView::paintMapRing(QPainter& p) const {
    // The map's own ring, round its edge, says the keys now move through the map; the tiles it
    // runs over differ in colour, so each stretch is set against the tile under it.
    const QRectF whole(rect());
    for (const TreemapTile& tile : std::as_const(m_tiles)) {
        const QRectF frame = frameOf(tile);
        const bool onEdge = frame.left() <= whole.left() + 2 || frame.top() <= whole.top() + 2 ||
                            frame.right() >= whole.right() - 2 ||
                            frame.bottom() >= whole.bottom() - 2;
        if (!onEdge)
            continue;
        p.save();
        p.setClipRect(frame);
        paintTileRing(p, tile, whole, {palette().color(QPalette::Window)});
        p.restore();
    }
}

QColor TreemapView::fillOf(const TreemapTile& tile) const {
    const bool selected = m_selection && m_selection->id == tile.id;
    const bool hovered = m_hovered && *m_hovered == tile.id;
    QColor fill = CategoryColors::color(tile.node.category);
    fill.setAlphaF(float(DiskMapText::tileOpacity(selected, hovered)));
    return Color::over(fill, palette().color(QPalette::Window));
}

TreemapView::Border TreemapView::borderOf(const TreemapTile& tile) const {
    if (m_selection && m_selection->id == tile.id)
        return {palette().color(QPalette::WindowText), 2.0};
    QColor line(255, 255, 255);
    line.setAlphaF(0.35f);
    return {Color::over(line, fillOf(tile)), 1.0};
}

QList<QColor> TreemapView::around(const TreemapTile& tile) const {
    // A ring on a tile is seen against the tile's fill inside and, outside, against every tile
    // that touches it: a ring told only from the border it covers vanished into a neighbour of
    // the same hue.
    const QRectF reach = frameOf(tile).adjusted(-3, -3, 3, 3);
    QList<QColor> colours{palette().color(QPalette::Window)};
    for (const TreemapTile& other : std::as_const(m_tiles)) {
        if (other.id != tile.id && frameOf(other).intersects(reach))
            colours.append(fillOf(other));
    }
    return colours;
}

void TreemapView::paintTile(QPainter& p, const TreemapTile& tile, const LabelFonts& fonts) const {
    const QRectF frame = frameOf(tile);
    const bool selected = m_selection && m_selection->id == tile.id;
    const bool hovered = m_hovered && *m_hovered == tile.id;

    QColor fill = CategoryColors::color(tile.node.category);
    fill.setAlphaF(float(DiskMapText::tileOpacity(selected, hovered)));
    QPainterPath shape;
    shape.addRoundedRect(frame, kRadius, kRadius);
    p.fillPath(shape, fill);

    // The border lies inside the tile, so neighbours' borders never overlap.
    const auto [stroke, width] = borderOf(tile);
    const QRectF inner = frame.adjusted(width / 2, width / 2, -width / 2, -width / 2);
    if (inner.width() > 0 && inner.height() > 0) {
        p.setPen(QPen(stroke, width));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(inner, std::max<qreal>(kRadius - width / 2, 0),
                          std::max<qreal>(kRadius - width / 2, 0));
    }

    if (!DiskMapText::tileShowsName(tile.rect.size()))
        return;
    p.save();
    p.setClipPath(shape);
    const QRectF text = frame.adjusted(kInset, kInset, -kInset, -kInset);
    const QFontMetricsF nameMetrics(fonts.name);
    p.setFont(fonts.name);
    p.setPen(Qt::white);
    const QString name = nameMetrics.elidedText(tile.node.name, Qt::ElideRight, text.width());
    p.drawText(QPointF(text.left(), text.top() + nameMetrics.ascent()), name);
    if (DiskMapText::tileShowsSize(tile.rect.size())) {
        const QFontMetricsF sizeMetrics(fonts.size);
        QColor ink(Qt::white);
        ink.setAlphaF(0.85f);
        p.setFont(fonts.size);
        p.setPen(ink);
        const qreal top = text.top() + nameMetrics.height() + 1;
        p.drawText(
            QPointF(text.left(), top + sizeMetrics.ascent()),
            sizeMetrics.elidedText(formatBytes(tile.node.sizeBytes), Qt::ElideRight, text.width()));
    }
    p.restore();
}
