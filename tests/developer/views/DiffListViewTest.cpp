// The diff list's own focus ring, which runs over rows of every kind's colour.
#include "developer/views/DiffListView.h"
#include "developer/DiffRowModel.h"
#include "developer/views/DiffRowDelegate.h"
#include "support/AccessibleAudit.h"
#include "ui-kit/Themed.h"
#include "ui-kit/ThemeSettings.h"

#include <gtest/gtest.h>
#include <QCoreApplication>

namespace {

// Runs of each kind, so the ring crosses every colour on both sides.
QList<DiffRow> runsOfEveryKind() {
    QList<DiffRow> rows;
    qint64 left = 0, right = 0;
    for (int i = 0; i < 40; ++i) {
        DiffRow row;
        row.id = i;
        row.kind = DiffRow::Kind((i / 5) % 4);
        if (row.kind != DiffRow::Kind::Added) {
            row.leftNumber = ++left;
            row.leftText = QStringLiteral("old line %1").arg(i);
        }
        if (row.kind != DiffRow::Kind::Removed) {
            row.rightNumber = ++right;
            row.rightText = QStringLiteral("new line %1").arg(i);
        }
        rows.append(row);
    }
    return rows;
}

} // namespace

TEST(DiffListView, TheRingStandsApartFromEveryKindsColourInBothThemes) {
    for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        for (const AccentChoice accent : allCases<AccentChoice>()) {
            DiffRowModel model;
            model.setRows(runsOfEveryKind());
            DiffListView view;
            view.setPalette(Themed::palette(scheme, Themed::accentColor(accent, scheme)));
            view.setAutoFillBackground(true);
            view.setFrameShape(QFrame::NoFrame);
            view.viewport()->setAutoFillBackground(false);
            view.setModel(&model);
            view.setItemDelegate(new DiffRowDelegate(&view));
            view.resize(500, 300);
            view.show();
            QCoreApplication::processEvents();
            const QImage plain = view.grab().toImage();
            view.setAttribute(Qt::WA_KeyboardFocusChange);
            view.activateWindow();
            view.setFocus(Qt::TabFocusReason);
            QCoreApplication::processEvents();
            ASSERT_TRUE(view.hasFocus());
            const std::string what =
                rawValue(accent).toStdString() + (scheme == ColorScheme::Dark ? " dark" : " light");
            const testsupport::RingSides sides =
                testsupport::ringSides(plain, view.grab().toImage(), 3.0);
            EXPECT_GE(sides.seen, 2 * (view.width() + view.height())) << what;
            EXPECT_LE(sides.faint * 8, sides.seen + sides.faint) << what;
        }
    }
}
