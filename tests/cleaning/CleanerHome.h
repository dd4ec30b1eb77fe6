#pragma once

#include "cleaning/CategoryCleaner.h"
#include "cleaning/CategoryMeasurer.h"
#include "cleaning/CleaningTestSupport.h"
#include "cleaning/CleanupScanner.h"
#include "fakes/FakeDiskUsage.h"
#include "fakes/FakeTrash.h"
#include "platform/HomeLayout.h"

#include <memory>
#include <QStringList>

namespace cleaningtest {

// A home of its own with the general storage table, a fake Trash and a cleaner over both.
struct Home {
    HomeLayout layout;
    std::shared_ptr<FakeTrash> trash;
    CategoryCleaner cleaner;
    QList<CleanCategory> junk;

    explicit Home(const QString& name)
        : layout(HomeLayout::forHome(testsupport::freshDir(name))),
          trash(std::make_shared<FakeTrash>(layout.trashDir())),
          cleaner(trash, CleanupScanner::protectedPathsFor(layout)),
          junk(CleanCategory::diskCategories(layout)) {}

    // Measures the rows as a scan would.
    void measure(QList<CleanCategory>& table) const {
        const CategoryMeasurer measurer(std::make_shared<FakeDiskUsage>(),
                                        {1, CleanupScanner::protectedPathsFor(layout)});
        for (CleanCategory& c : table)
            c.setMeasurement(measurer.measure(c));
    }
    CleanCategory& row(const QString& id) { return junk[CleanCategories::indexOf(junk, id)]; }
};

inline void writeFiles(const QStringList& paths) {
    for (const QString& path : paths)
        writeFile(path);
}

// Every file still where it was.
inline void expectStill(const QStringList& paths) {
    for (const QString& path : paths)
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
}

} // namespace cleaningtest
