// Browse Storage at the largest text in the smallest window: nothing in the detail is cut
// without its whole text on offer, and nothing overlaps.
#include "storage/views/FoldersViewTestSupport.h"

#include <gtest/gtest.h>

using namespace foldersviewtest;

namespace {

// The visible widgets under root that show something of their own (no visible child), in root's
// coordinates.
QList<std::pair<QWidget*, QRect>> shownLeaves(QWidget* root) {
    QList<std::pair<QWidget*, QRect>> leaves;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root) || w->width() <= 0 || w->height() <= 0)
            continue;
        const QList<QWidget*> children = w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        if (std::any_of(children.begin(), children.end(),
                        [&](QWidget* c) { return c->isVisibleTo(root); }))
            continue;
        leaves.append({w, QRect(w->mapTo(root, QPoint(0, 0)), w->size())});
    }
    return leaves;
}

std::string who(const QWidget* w) {
    return (QString::fromLatin1(w->metaObject()->className()) + "#" + w->objectName())
        .toStdString();
}

// A text the widget shows cut short, or nothing: what a user cannot read there.
QString cutShort(const QWidget* w) {
    if (auto* clamped = qobject_cast<const QKClampedText*>(w)) {
        const QStringList lines = clamped->displayedLines(clamped->width());
        if (clamped->height() < clamped->heightForWidth(clamped->width()))
            return clamped->text();
        if (!lines.isEmpty() && lines.constLast().endsWith(QChar(0x2026)))
            return clamped->text();
    } else if (auto* label = qobject_cast<const QLabel*>(w); label && !label->text().isEmpty()) {
        if (label->wordWrap() ? label->height() < label->heightForWidth(label->width())
                              : label->width() < label->minimumSizeHint().width())
            return label->text();
    } else if (auto* button = qobject_cast<const QPushButton*>(w)) {
        if (button->width() < button->sizeHint().width() ||
            button->height() < button->sizeHint().height())
            return button->text();
    }
    return {};
}

} // namespace

TEST(FoldersView, AtTheLargestTextInTheSmallestWindowNothingInTheDetailIsCutOrOverlaps) {
    Themed::shared();
    UserDefaults::standard().setValue(ThemeKeys::FontSize, qint64(TextSize::Largest));
    const QString home = makeHome();
    const QString longName = QStringLiteral(
        "Northwind Studio Downloads from the spring campaign and the autumn review of everything");
    makeFile(home + "/Work/Clients/" + longName + "/brief.pdf", 4096);
    makeFile(home + "/Work/Clients/invoice.pdf", 4096);
    Screen s(home);
    // The content area of the smallest window, beside the sidebar.
    s.view.resize(700, 560);
    ASSERT_TRUE(s.shownActive());
    s.tree.enter(s.entry("Work"));
    ASSERT_TRUE(s.settled());
    s.tree.enter(s.entry("Clients"));
    ASSERT_TRUE(s.settled());
    // The screen fits the window: the side scrolls rather than making it taller.
    EXPECT_EQ(s.view.height(), 560);
    auto* scroll = Find::part<QScrollArea>(s.view, "foldersDetail");
    QWidget* side = scroll->widget();

    // At the side's default width and at its narrowest, with a folder (both buttons), a file and
    // nothing selected.
    for (double width : {260.0, FoldersView::minSideWidth}) {
        s.state.setFolderSidebarWidth(width);
        for (const QString& name : {longName, QStringLiteral("invoice.pdf"), QString()}) {
            if (name.isEmpty())
                s.state.setFolderSelection(std::nullopt);
            else
                s.select(name);
            // A layout request climbs one level a turn of the event loop.
            for (int turn = 0; turn < 5; ++turn)
                QApplication::processEvents();
            const std::string at = std::to_string(int(width)) + " " + name.toStdString();
            const QList<std::pair<QWidget*, QRect>> leaves = shownLeaves(side);
            for (qsizetype i = 0; i < leaves.size(); ++i) {
                const auto& [w, r] = leaves.at(i);
                // Across: inside what the side shows (it scrolls only up and down).
                EXPECT_TRUE(r.left() >= 0 && r.right() < scroll->viewport()->width())
                    << who(w) << " " << at;
                const QString cut = cutShort(w);
                if (!cut.isEmpty()) {
                    // Cut only with the whole text offered.
                    EXPECT_EQ(w->toolTip(), cut) << who(w) << " " << at;
                    EXPECT_EQ(w->accessibleDescription(), cut) << who(w) << " " << at;
                }
                for (qsizetype j = 0; j < i; ++j)
                    EXPECT_FALSE(r.intersects(leaves.at(j).second))
                        << who(w) << " overlaps " << who(leaves.at(j).first) << " " << at;
            }
        }
    }

    // The trail cuts the names the toolbar has no room for, and offers them whole.
    s.select("invoice.pdf");
    s.tree.enter(s.entry(longName));
    ASSERT_TRUE(s.settled());
    const QList<QPushButton*> trail = s.trail();
    ASSERT_EQ(trail.size(), 3);
    const QStringList whole = {"Work", "Clients", longName};
    int cut = 0;
    for (qsizetype i = 0; i < trail.size(); ++i) {
        QPushButton* b = trail.at(i);
        EXPECT_EQ(b->accessibleName(), whole.at(i));
        EXPECT_GE(b->width(), b->sizeHint().width()) << i;
        const QRect r(b->mapTo(b->parentWidget()->parentWidget(), QPoint(0, 0)), b->size());
        EXPECT_TRUE(b->parentWidget()->parentWidget()->rect().contains(r)) << i;
        if (b->text() == whole.at(i)) {
            EXPECT_EQ(b->toolTip(), QString()) << i;
            continue;
        }
        ++cut;
        EXPECT_TRUE(b->text().endsWith(QChar(0x2026))) << b->text().toStdString();
        EXPECT_EQ(b->toolTip(), whole.at(i));
        EXPECT_EQ(b->accessibleDescription(), whole.at(i));
    }
    EXPECT_GT(cut, 0);
    // Short of room, the outer names fold first: the folder the user is in still says something.
    EXPECT_GT(trail.constLast()->text().size(), 1);
    // With room, every name is whole again.
    s.view.resize(1600, 560);
    QApplication::processEvents();
    for (qsizetype i = 0; i < trail.size(); ++i) {
        EXPECT_EQ(trail.at(i)->text(), whole.at(i));
        EXPECT_EQ(trail.at(i)->toolTip(), QString());
    }
    UserDefaults::standard().remove(ThemeKeys::FontSize);
}
