// The exact groups from the keyboard: Tab stops only at what it can operate, and a focused copy's
// ring stands apart from every colour beside it, keeper or not, picture or document, in either
// theme.
#include "duplicates/views/DuplicatesViewTestSupport.h"
#include "support/AccessibleAudit.h"

#include <QScrollArea>

using namespace duptest;

namespace {

// A group of a photo and a document of the same bytes' size, laid out as the list shows it.
struct Row {
    DuplicateGroup group;
    DuplicateGroupRow row;

    explicit Row(const QString& dir)
        : group{QUuid::createUuid(),
                0,
                {savePhoto(scene(3, QSize(320, 240)), dir + "/a.jpg"),
                 write(dir + "/b.bin", bytes(3000, 4))}},
          row(group, {}) {
        row.resize(700, row.sizeHint().height());
        row.show();
        QCoreApplication::processEvents();
    }
};

// What Tab stops at inside `root`, in the order it stops.
QList<QWidget*> tabStops(QWidget* root) {
    QList<QWidget*> stops;
    for (QWidget* w = root->nextInFocusChain(); w && w != root; w = w->nextInFocusChain())
        if (root->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
            !w->focusProxy() && w->isVisibleTo(root) && w->isEnabled())
            stops.append(w);
    return stops;
}

} // namespace

// Both lists, once they show what a scan found: Tab goes from control to control, each named,
// never to a list or a strip that only holds them.
TEST(DuplicateFocus, TheListsAreNoTabStopsAndEveryStopHasAName) {
    const QString dir = testsupport::freshDir("view-stops");
    writeCopies(dir, {"/a.bin", "/b.bin"}, bytes(3000, 1));
    const QImage picture = scene(2, QSize(640, 480));
    savePhoto(picture, dir + "/photo.jpg");
    savePhoto(picture.scaled(320, 240), dir + "/photo-small.jpg", 60);
    Screen s;
    s.view->scanFolder(dir);
    ASSERT_TRUE(s.scanned());
    ASSERT_TRUE(testsupport::waitFor([&] { return s.view->exactList()->builtCount() == 1; }));
    for (const DuplicatesMode mode : allCases<DuplicatesMode>()) {
        s.state.setDuplicateMode(mode);
        QCoreApplication::processEvents();
        const QList<QWidget*> stops = tabStops(s.view.get());
        EXPECT_GE(stops.size(), 4);
        for (QWidget* w : stops) {
            EXPECT_EQ(qobject_cast<QAbstractScrollArea*>(w), nullptr)
                << w->metaObject()->className() << " " << w->objectName().toStdString();
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
            ASSERT_NE(iface, nullptr);
            EXPECT_FALSE(iface->text(QAccessible::Name).isEmpty())
                << w->metaObject()->className() << " " << w->objectName().toStdString();
        }
    }
}

TEST(DuplicateFocus, TheStripIsNoTabStopAndEveryStopHasAName) {
    Row r(testsupport::freshDir("strip-stops"));
    for (QScrollArea* area : r.row.findChildren<QScrollArea*>())
        EXPECT_NE(area->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    int stops = 0;
    for (QWidget* w : r.row.findChildren<QWidget*>()) {
        if ((w->focusPolicy() & Qt::TabFocus) != Qt::TabFocus || !w->isVisibleTo(&r.row))
            continue;
        ++stops;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(iface, nullptr);
        EXPECT_FALSE(iface->text(QAccessible::Name).isEmpty()) << w->metaObject()->className();
    }
    EXPECT_EQ(stops, 3); // two copies and the button
}

TEST(DuplicateFocus, ACopysRingStandsApartFromWhatIsBesideIt) {
    const QString dir = testsupport::freshDir("tile-ring");
    for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        for (const AccentChoice accent : allCases<AccentChoice>()) {
            for (const bool keeper : {false, true}) {
                Row r(dir);
                r.row.setPalette(Themed::palette(scheme, Themed::accentColor(accent, scheme)));
                if (keeper)
                    r.row.choose(r.group.files[0]);
                QCoreApplication::processEvents();
                for (DuplicateTile* tile : Find::parts<DuplicateTile>(&r.row, "duplicateTile")) {
                    QWidget* strip = tile->parentWidget();
                    const QRect place =
                        tile->geometry().adjusted(-3, -3, 3, 3).intersected(strip->rect());
                    const QImage plain = strip->grab(place).toImage();
                    r.row.setAttribute(Qt::WA_KeyboardFocusChange);
                    r.row.activateWindow();
                    tile->setFocus(Qt::TabFocusReason);
                    QCoreApplication::processEvents();
                    ASSERT_TRUE(tile->hasFocus());
                    const testsupport::RingSides sides =
                        testsupport::ringSides(plain, strip->grab(place).toImage(), 3.0);
                    tile->clearFocus();
                    QCoreApplication::processEvents();
                    const std::string what = (scheme == ColorScheme::Dark ? "dark " : "light ") +
                                             rawValue(accent).toStdString() +
                                             (keeper ? " keeper " : " ") +
                                             tile->path().toStdString();
                    EXPECT_GE(sides.seen, 4 * std::min(tile->width(), tile->height())) << what;
                    EXPECT_LE(sides.faint * 8, sides.seen + sides.faint)
                        << what << ": " << sides.faint << " faint of " << sides.seen;
                }
            }
        }
    }
}

// A strip of tiles or photos is reached through what it holds, and a reader that lands in it
// hears what it holds and how many: neither strip is an empty Tab stop or an unnamed area.
TEST(DuplicateFocus, EachStripOfCopiesOrPhotosIsNamedAndNoTabStopOfItsOwn) {
    const QString dir = testsupport::freshDir("strip-names");
    Row copies(dir);
    const SimilarPhotoGroup set{QUuid::createUuid(),
                                {savePhoto(scene(1, QSize(320, 240)), dir + "/p1.jpg"),
                                 savePhoto(scene(2, QSize(320, 240)), dir + "/p2.jpg"),
                                 savePhoto(scene(3, QSize(320, 240)), dir + "/p3.jpg")}};
    SimilarSetRow photos(set, 120);
    photos.resize(700, photos.sizeHint().height());
    photos.show();
    QCoreApplication::processEvents();

    const QList<std::pair<QWidget*, QString>> rows{
        {&copies.row, QStringLiteral("2 copies to choose from")},
        {&photos, QStringLiteral("3 similar photos")}};
    for (const auto& [row, name] : rows) {
        const QList<QScrollArea*> strips = row->findChildren<QScrollArea*>();
        ASSERT_EQ(strips.size(), 1) << name.toStdString();
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(strips.first());
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->text(QAccessible::Name).toStdString(), name.toStdString());
        const QStringList problems = testsupport::scrollAreaProblems(row);
        EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
    }
}
