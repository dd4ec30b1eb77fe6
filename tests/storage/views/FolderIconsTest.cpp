#include "storage/views/FolderIcons.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QPalette>

namespace {

QPalette light() {
    QPalette palette;
    palette.setColor(QPalette::Base, Qt::white);
    return palette;
}

QPalette dark() {
    QPalette palette;
    palette.setColor(QPalette::Base, Qt::black);
    return palette;
}

qint64 iconKey(const QString& path, bool isDirectory, bool isPackage, const QPalette& palette) {
    return FolderIcons::icon(path, isDirectory, isPackage, palette).cacheKey();
}

} // namespace

// A folder of thousands of files must not make (and draw afresh) an icon per row: rows of one
// kind share the icon, whatever their paths.
TEST(FolderIcons, RowsOfOneKindShareOneIconAndOtherKindsOrPalettesGetTheirOwn) {
    const QPalette palette = light();
    EXPECT_EQ(iconKey("/home/u/a/IMG_1.png", false, false, palette),
              iconKey("/home/u/b/Screenshot 2.png", false, false, palette));
    EXPECT_EQ(iconKey("/home/u/Work", true, false, palette),
              iconKey("/home/u/Other/Clients", true, false, palette));
    EXPECT_EQ(iconKey("/home/u/Player.app", true, true, palette),
              iconKey("/home/u/Tools/Editor.app", true, true, palette));

    EXPECT_NE(iconKey("/home/u/Work", true, false, palette),
              iconKey("/home/u/Player.app", true, true, palette));
    EXPECT_NE(iconKey("/home/u/Work", true, false, palette),
              iconKey("/home/u/Work", true, false, dark()));
}
