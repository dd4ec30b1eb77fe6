// The facts of a compared pair: a folder's box tells no size, since its own block is not what it
// holds; a file's tells its length.
#include "developer/views/CompareFileFacts.h"
#include "support/Find.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QLabel>

TEST(CompareFileFacts, AFolderHasNoSizeLineAndAFileItsLength) {
    const QString dir = testsupport::freshDir("facts-folder");
    QDir().mkpath(dir + "/Project/src");
    QFile file(dir + "/Project/src/main.c");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("int main(void) { return 0; }\n");
    file.close();

    CompareFileFacts facts;
    facts.setFiles(QUrl::fromLocalFile(dir + "/Project"),
                   QUrl::fromLocalFile(dir + "/Project/src/main.c"), false);
    const QList<QWidget*> boxes = Find::parts<QWidget>(&facts, "factsBox");
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[0]->findChild<QLabel*>("factsSize"), nullptr);
    EXPECT_NE(boxes[0]->findChild<QLabel*>("factsModified"), nullptr);
    ASSERT_NE(boxes[1]->findChild<QLabel*>("factsSize"), nullptr);
    EXPECT_EQ(boxes[1]->findChild<QLabel*>("factsSize")->text(), "Size: 29 bytes");
}
