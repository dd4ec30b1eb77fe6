#include "duplicates/views/DuplicateGroupRow.h"

#include "duplicates/DuplicatesText.h"
#include "duplicates/views/PhotoPicture.h"
#include "platform/RegularFile.h"
#include "platform/SymbolName.h"
#include "ui-kit/Color.h"
#include "ui-kit/QKAccessible.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKFocusRing.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"

#include <algorithm>
#include <QHash>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

constexpr int kTileWidth = 160;
constexpr int kThumbWidth = 140;
constexpr int kThumbHeight = 90;
// The focus ring's place inside the tile's frame: it covers pixels 5 to 7 of the tile, the
// picture and the labels start at 10.
constexpr int kRingInset = 4;

// How wide a text is in a font, remembered across the tiles: the copies of a group, and the
// groups of one folder, share their heads, which the breaking of each path measures again.
// Widgets live on the main thread only; the widths of one font are kept, and of a bounded number
// of texts.
class SharedAdvance {
public:
    explicit SharedAdvance(const QFont& font) : m_font(font) {
        const QString key = font.key();
        if (key != fontKey() || widths().size() > 20'000) {
            fontKey() = key;
            widths().clear();
        }
    }
    int operator()(const QString& text) const { return qRound(exact(text)); }
    // The sum of the widths of the text's pieces, each ending after a "/" (the last one at the
    // text's end). The pieces are what the paths of one folder share, so nearly every head the
    // breaking of a path looks at is summed from widths measured before, where measuring it
    // whole shapes it anew; the sum leaves out only the kerning across a "/".
    // The pieces are summed unrounded: rounding each one first added up to a pixel a piece, and
    // broke lines a folder early that fit whole.
    int byPieces(const QString& text) const {
        qreal sum = 0;
        for (qsizetype from = 0; from < text.size();) {
            const qsizetype slash = text.indexOf(QLatin1Char('/'), from);
            const qsizetype end = slash < 0 ? text.size() : slash + 1;
            sum += exact(text.sliced(from, end - from));
            from = end;
        }
        return qRound(sum);
    }

private:
    qreal exact(const QString& text) const {
        auto it = widths().constFind(text);
        if (it == widths().constEnd())
            it = widths().insert(text, m_font.horizontalAdvance(text));
        return *it;
    }
    static QString& fontKey() {
        static QString key;
        return key;
    }
    static QHash<QString, qreal>& widths() {
        static QHash<QString, qreal> measured;
        return measured;
    }
    QFontMetricsF m_font;
};

// A path on at most `lines` lines, broken after a "/" and cut at its head when it needs more
// (DuplicatesText::pathLines).
class ClampedPath : public QLabel {
public:
    ClampedPath(const QString& text, int lines, QWidget* parent)
        : QLabel(parent), m_full(text), m_lines(lines) {
        // The lines are broken here; the label must not break them again at spaces, or a
        // three-line path would need four.
        setWordWrap(false);
        setToolTip(text);
        setAccessibleName(text);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        refit();
    }
    void changeEvent(QEvent* event) override {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange) {
            m_wrapped.clear();
            // A label not laid out yet breaks its lines at the width its layout gives it, when
            // it gets it; breaking them at the width it has now would be thrown away.
            if (testAttribute(Qt::WA_Resized) || isVisible())
                refit();
            else
                updateGeometry();
        }
    }
    QSize sizeHint() const override {
        const QFontMetrics fm(font());
        return QSize(kThumbWidth, fm.lineSpacing() * shownLines());
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

private:
    // Breaking a long path measures many candidate lines, and layouts ask for the size hint
    // over and over, at the thumbnail's width and at the width the label has (which differ until
    // it is laid out): the lines of each width asked for are kept until the font changes.
    // The lines are broken on widths summed by pieces, then each line is measured whole once: in
    // the rare font whose kerning across a "/" makes one wider than the sum, the path is broken
    // again on whole measurements, so a line never runs past the width.
    QStringList wrapped(int width) const {
        auto it = m_wrapped.find(width);
        if (it == m_wrapped.end()) {
            const SharedAdvance advance(font());
            QStringList lines =
                DuplicatesText::pathLines(m_full, m_lines, width, [&advance](const QString& text) {
                    return advance.byPieces(text);
                });
            if (std::any_of(lines.cbegin(), lines.cend(),
                            [&](const QString& line) { return advance(line) > width; }))
                lines = DuplicatesText::pathLines(m_full, m_lines, width, advance);
            it = m_wrapped.insert(width, lines);
        }
        return *it;
    }
    int shownLines() const {
        // The tile gives the label exactly the thumbnail's width, laid out or not yet.
        return std::max<int>(1, int(wrapped(kThumbWidth).size()));
    }
    void refit() {
        const QString text = wrapped(std::max(width(), 10)).join(QLatin1Char('\n'));
        if (text != QLabel::text()) {
            setText(text);
            updateGeometry();
        }
    }

    QString m_full;
    int m_lines;
    mutable QHash<int, QStringList> m_wrapped;
};

// The sideways scrolling strip of tiles. It is always as tall as the tallest tile plus the
// scroll bar, so nothing scrolls vertically or is cut off; the tiles' height follows the text
// size, so the height is taken again whenever the strip's layout changes.
class TileScroller : public QScrollArea {
public:
    explicit TileScroller(QWidget* parent) : QScrollArea(parent) {
        // Tab moves through the tiles, each brought into view as it takes the focus; a stop of
        // the strip's own would be an empty one before them. A click still gives it the keys.
        setFocusPolicy(Qt::ClickFocus);
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        viewport()->setAutoFillBackground(false);
    }
    void setStrip(QWidget* strip) {
        setWidget(strip);
        strip->installEventFilter(this);
        fitHeight();
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget() && event->type() == QEvent::LayoutRequest) {
            // Let the strip's layout take in the new size hints first.
            const bool handled = QScrollArea::eventFilter(watched, event);
            fitHeight();
            return handled;
        }
        return QScrollArea::eventFilter(watched, event);
    }

protected:
    void changeEvent(QEvent* event) override {
        QScrollArea::changeEvent(event);
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
            fitHeight();
    }

private:
    void fitHeight() {
        if (!widget())
            return;
        const int height =
            widget()->sizeHint().height() + horizontalScrollBar()->sizeHint().height();
        if (minimumHeight() != height || maximumHeight() != height)
            setFixedHeight(height);
    }
};

} // namespace

DuplicateTile::DuplicateTile(const QString& path, QWidget* parent)
    : QAbstractButton(parent), m_path(path) {
    setObjectName(QStringLiteral("duplicateTile"));
    // A button's own size policy would hold the tile to one line's height, and its roles would
    // give the labels inside the button's text colour instead of the window's.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    setBackgroundRole(QPalette::Window);
    setForegroundRole(QPalette::WindowText);
    setFixedWidth(kTileWidth);
    setCursor(Qt::PointingHandCursor);
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(DuplicatesText::shownPath(path));
    QKAccessible::setChoice(this, QAccessible::RadioButton);
    QKFocusRing::pressOnReturn(this);
    using namespace QKLayout;
    Box column = QKLayout::column(
        {10, 10, 10, 10}, 4,
        {part(m_thumb = new PhotoPicture(path, PhotoPicture::Mode::Fill, "doc"_sym, 6,
                                         2 * kThumbWidth, this))
             .with([](PhotoPicture* thumb) { thumb->setFixedSize(kThumbWidth, kThumbHeight); }),
         part(new ClampedPath(DuplicatesText::shownPath(path), 3, this))
             .name(QStringLiteral("tilePath"))
             .font(TextStyle::Caption2)
             .ink(QKForeground::Secondary)});
    const std::optional<QDateTime> born = RegularFile(path).birthTime();
    if (born && born->isValid())
        column.add(part(QKBuild::label(DuplicatesText::createdLine(born->date()),
                                       TextStyle::Caption2, QKForeground::Primary, this))
                       .name(QStringLiteral("tileCreated")));
    column
        .add(part(m_keeping =
                      new QKIconLabel("checkmark.circle.fill"_sym, DuplicatesText::keepingThisOne(),
                                      QKFont{.style = TextStyle::Caption2, .weight = QFont::Bold},
                                      QKForeground::Green, this))
                 .name(QStringLiteral("keepingThisOne"))
                 .with([](QWidget* keeping) {
                     // The tile keeps room for the label, so choosing a keeper never grows the
                     // row past its scroll area.
                     QSizePolicy policy = keeping->sizePolicy();
                     policy.setRetainSizeWhenHidden(true);
                     keeping->setSizePolicy(policy);
                     keeping->setVisible(false);
                 }))
        .add(stretch(1))
        .on(this);
}

bool DuplicateTile::hasThumbnail() const {
    return m_thumb->hasImage();
}

void DuplicateTile::setKeeper(bool keeper) {
    setChecked(keeper);
    m_keeping->setVisible(keeper);
}

void DuplicateTile::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(1, 1, -1, -1);
    QPainterPath shape;
    shape.addRoundedRect(frame, 8, 8);
    QColor fill = QKForeground::color(QKForeground::Quaternary, palette());
    fill.setAlphaF(fill.alphaF() * 0.4f);
    p.fillPath(shape, fill);
    if (isChecked()) {
        p.setPen(QPen(Color::system(Color::SystemColor::Green, Color::isDark(palette())), 2));
        p.drawPath(shape);
    }
    // On the tile's own face, two pixels clear of the keeper's outline and of the picture, so
    // the face is all that lies beside it and a focused keeper shows both.
    if (QKFocusRing::shows(this)) {
        const QColor face = Color::over(fill, palette().color(QPalette::Active, QPalette::Window));
        QKFocusRing::paint(p, frame.adjusted(kRingInset, kRingInset, -kRingInset, -kRingInset),
                           8 - kRingInset, palette(), face, {face});
    }
}

DuplicateGroupRow::DuplicateGroupRow(const DuplicateGroup& group, OnKeep onKeep, QWidget* parent)
    : QWidget(parent), m_group(group), m_onKeep(std::move(onKeep)) {
    setObjectName(QStringLiteral("duplicateGroupRow"));
    using namespace QKLayout;
    TileScroller* scroll = nullptr;
    QWidget* strip = nullptr;
    Box column = QKLayout::column(
        {20, 12, 20, 12}, 8,
        {part(m_header =
                  QKBuild::label(DuplicatesText::rowHeader(int(group.files.size()), group.fileSize),
                                 TextStyle::Caption, QKForeground::Secondary, this))
             .name(QStringLiteral("rowHeader")),
         part(scroll = new TileScroller(this))
             .accessibleName(DuplicatesText::copiesStripName(int(group.files.size())))});
    strip = new QWidget(scroll);
    strip->setAutoFillBackground(false);
    Box tiles = row({0, 0, 0, 0}, 10, {});
    for (const QString& file : group.files) {
        auto* tile = new DuplicateTile(file, strip);
        connect(tile, &QAbstractButton::clicked, this, [this, file] { choose(file); });
        tiles.add(part(tile).align(Qt::AlignTop));
        m_tiles.append(tile);
    }
    tiles.add(stretch(1)).on(strip);
    scroll->setStrip(strip);

    column
        .add(row(10,
                 {part(m_keep = QKBuild::button(DuplicatesText::keepSelectedButton(), true, this))
                      .name(QStringLiteral("keepSelected"))
                      .with([](QPushButton* keep) { keep->setEnabled(false); }),
                  part(m_frees = QKBuild::label(DuplicatesText::freesLine(group.reclaimableBytes()),
                                                TextStyle::Caption, QKForeground::Secondary, this,
                                                std::nullopt, false))
                      .name(QStringLiteral("freesLine"))
                      .align(Qt::AlignVCenter),
                  stretch(1)}))
        .on(this);
    connect(m_keep, &QPushButton::clicked, this, [this] {
        if (m_keeper && m_onKeep)
            m_onKeep(*m_keeper);
    });
}

void DuplicateGroupRow::choose(const QString& path) {
    if (!m_group.files.contains(path))
        return;
    m_keeper = path;
    for (DuplicateTile* tile : m_tiles)
        tile->setKeeper(tile->path() == path);
    m_keep->setEnabled(true);
    // The copies that would go are now known: the others, at what each takes on the disk.
    m_frees->setText(DuplicatesText::freesLine(m_group.reclaimableBytes(path)));
}
