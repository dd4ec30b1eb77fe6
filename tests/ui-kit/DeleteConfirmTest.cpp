#include "ui-kit/DeleteConfirm.h"
#include "support/Find.h"
#include "support/TestSupport.h"
#include "ui-kit/DeleteCode.h"
#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DeleteConfirmItem.h"

#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// A random source that hands out the given values, then repeats the last.
DeleteCode::RandomSource sequence(std::deque<quint32> values) {
    auto shared = std::make_shared<std::deque<quint32>>(std::move(values));
    return [shared] {
        const quint32 v = shared->front();
        if (shared->size() > 1)
            shared->pop_front();
        return v;
    };
}

TEST(DeleteCodeMaking, FourDigitsWithLeadingZeros) {
    EXPECT_EQ(DeleteCode::make(sequence({42})), QStringLiteral("0042"));
    EXPECT_EQ(DeleteCode::make(sequence({0})), QStringLiteral("0000"));
    EXPECT_EQ(DeleteCode::make(sequence({19999})), QStringLiteral("9999"));
}

TEST(DeleteCodeMaking, ValuesInTheBiasedTailAreDrawnAgain) {
    // 4294960000 is the first value past the last whole block of 10000.
    EXPECT_EQ(DeleteCode::make(sequence({4294960000u, 4294967295u, 7})), QStringLiteral("0007"));
    EXPECT_EQ(DeleteCode::make(sequence({4294959999u})), QStringLiteral("9999"));
}

TEST(DeleteCodeMaking, SystemSourceGivesFourDigits) {
    for (int i = 0; i < 50; ++i) {
        const QString code = DeleteCode::make();
        ASSERT_EQ(code.size(), 4);
        bool ok = false;
        code.toInt(&ok);
        EXPECT_TRUE(ok) << code.toStdString();
    }
}

class DeleteConfirmTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = std::make_unique<QWidget>();
        host->show();
    }
    // Types into the open sheet's field as a user would.
    static void type(DeleteCodeSheet* sheet, const QString& text) {
        sheet->entryField()->clear();
        QTest::keyClicks(sheet->entryField(), text);
    }

    std::unique_ptr<QWidget> host;
};

TEST_F(DeleteConfirmTest, OnlyTheExactCodeEnablesTheButton) {
    int runs = 0;
    DeleteConfirm confirm(host.get(), QStringLiteral("Empty the Trash?"),
                          QStringLiteral("These files are removed for good."),
                          QStringLiteral("Delete forever"), [&] { ++runs; });
    confirm.setRandomSource(sequence({42}));
    confirm.setPresented(true);
    DeleteCodeSheet* sheet = confirm.sheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(Find::part<QLabel>(*sheet, "deleteCode")->text(), QStringLiteral("0042"));
    EXPECT_EQ(sheet->confirmButton()->text(), QStringLiteral("Delete forever"));

    for (const QString& wrong :
         {QStringLiteral(""), QStringLiteral("42"), QStringLiteral("0043"), QStringLiteral("0042 "),
          QStringLiteral(" 0042"), QStringLiteral("00420"), QStringLiteral("OO42")}) {
        type(sheet, wrong);
        EXPECT_FALSE(sheet->confirmButton()->isEnabled()) << wrong.toStdString();
        QTest::mouseClick(sheet->confirmButton(), Qt::LeftButton);
    }
    EXPECT_EQ(runs, 0);

    type(sheet, QStringLiteral("0042"));
    EXPECT_TRUE(sheet->confirmButton()->isEnabled());
    // Return in the field is not a confirmation: only the button is.
    QTest::keyClick(sheet->entryField(), Qt::Key_Return);
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(confirm.isPresented());
}

TEST_F(DeleteConfirmTest, ConfirmingRunsTheActionOnceThenCloses) {
    int runs = 0;
    bool presentedDuringAction = false;
    DeleteConfirm* confirm = nullptr;
    DeleteConfirm c(host.get(), QStringLiteral("Clean?"), QStringLiteral("Moves to the Trash."),
                    QStringLiteral("Clean now"), [&] {
                        ++runs;
                        presentedDuringAction = confirm->isPresented();
                    });
    confirm = &c;
    c.setRandomSource(sequence({1234}));
    c.setPresented(true);
    QPointer<DeleteCodeSheet> sheet = c.sheet();
    type(sheet, QStringLiteral("1234"));
    QPushButton* button = sheet->confirmButton();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(presentedDuringAction); // the work runs before the sheet is asked to close
    EXPECT_FALSE(c.isPresented());
    EXPECT_EQ(c.sheet(), nullptr);
    ASSERT_FALSE(sheet.isNull());
    EXPECT_FALSE(sheet->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sheet.isNull());
}

TEST_F(DeleteConfirmTest, CancelAndOtherDismissalsNeverRunTheAction) {
    int runs = 0;
    DeleteConfirm confirm(host.get(), QStringLiteral("Clean?"), QStringLiteral("m"),
                          QStringLiteral("Clean now"), [&] { ++runs; });
    confirm.setRandomSource(sequence({5555}));

    confirm.setPresented(true);
    type(confirm.sheet(), QStringLiteral("5555"));
    QTest::mouseClick(Find::part<QPushButton>(confirm.sheet(), "deleteCodeCancel"), Qt::LeftButton);
    EXPECT_FALSE(confirm.isPresented());

    confirm.setPresented(true);
    type(confirm.sheet(), QStringLiteral("5555"));
    QTest::keyClick(confirm.sheet(), Qt::Key_Escape);
    EXPECT_FALSE(confirm.isPresented());

    confirm.setPresented(true);
    type(confirm.sheet(), QStringLiteral("5555"));
    confirm.sheet()->close();
    EXPECT_FALSE(confirm.isPresented());
    EXPECT_EQ(runs, 0);
}

TEST_F(DeleteConfirmTest, ReopeningShowsANewCodeAndAnEmptyField) {
    DeleteConfirm confirm(host.get(), QStringLiteral("t"), QStringLiteral("m"),
                          QStringLiteral("Delete"), [] {});
    confirm.setRandomSource(sequence({1111, 2222}));
    confirm.setPresented(true);
    EXPECT_EQ(confirm.sheet()->code(), QStringLiteral("1111"));
    type(confirm.sheet(), QStringLiteral("11"));
    confirm.setPresented(false);

    confirm.setPresented(true);
    EXPECT_EQ(confirm.sheet()->code(), QStringLiteral("2222"));
    EXPECT_TRUE(confirm.sheet()->entry().isEmpty());
    EXPECT_FALSE(confirm.sheet()->confirmButton()->isEnabled());
}

TEST_F(DeleteConfirmTest, ActionThatDestroysTheHostDoesNotCrash) {
    auto* doomed = new QWidget(host.get());
    auto* confirm = new DeleteConfirm(doomed, QStringLiteral("t"), QStringLiteral("m"),
                                      QStringLiteral("Delete"), [&] { delete doomed; });
    confirm->setRandomSource(sequence({3030}));
    confirm->setPresented(true);
    type(confirm->sheet(), QStringLiteral("3030"));
    QTest::mouseClick(confirm->sheet()->confirmButton(), Qt::LeftButton);
    SUCCEED();
}

TEST_F(DeleteConfirmTest, ItemShowsTheRequestAndRunsOnlyItsAction) {
    DeleteConfirmItem item(host.get());
    item.setRandomSource(sequence({1000, 2000}));
    QStringList ran;
    item.setPending(PendingDelete::make(QStringLiteral("Remove 3 copies?"), QStringLiteral("m1"),
                                        QStringLiteral("Move to Trash"),
                                        [&] { ran << QStringLiteral("first"); }));
    ASSERT_NE(item.sheet(), nullptr);
    EXPECT_EQ(item.sheet()->windowTitle(), QStringLiteral("Remove 3 copies?"));
    EXPECT_EQ(item.sheet()->code(), QStringLiteral("1000"));

    // A second request replaces the first: new texts, new code, and only its action.
    item.setPending(PendingDelete::make(QStringLiteral("Remove 5 photos?"), QStringLiteral("m2"),
                                        QStringLiteral("Move photos"),
                                        [&] { ran << QStringLiteral("second"); }));
    DeleteCodeSheet* sheet = item.sheet();
    EXPECT_EQ(sheet->confirmButton()->text(), QStringLiteral("Move photos"));
    EXPECT_EQ(sheet->code(), QStringLiteral("2000"));
    type(sheet, QStringLiteral("2000"));
    QTest::mouseClick(sheet->confirmButton(), Qt::LeftButton);
    EXPECT_EQ(ran, QStringList{QStringLiteral("second")});
    EXPECT_FALSE(item.pending().has_value());
}

TEST_F(DeleteConfirmTest, ItemDismissedWithoutConfirmingClearsTheRequest) {
    DeleteConfirmItem item(host.get());
    int runs = 0;
    item.setPending(PendingDelete::make(QStringLiteral("t"), QStringLiteral("m"),
                                        QStringLiteral("Delete"), [&] { ++runs; }));
    QTest::mouseClick(Find::part<QPushButton>(item.sheet(), "deleteCodeCancel"), Qt::LeftButton);
    EXPECT_FALSE(item.pending().has_value());

    item.setPending(PendingDelete::make(QStringLiteral("t"), QStringLiteral("m"),
                                        QStringLiteral("Delete"), [&] { ++runs; }));
    item.sheet()->reject();
    EXPECT_FALSE(item.pending().has_value());
    EXPECT_EQ(runs, 0);
}

TEST_F(DeleteConfirmTest, ItemKeepsARequestTheActionQueued) {
    DeleteConfirmItem item(host.get());
    item.setRandomSource(sequence({4444}));
    const PendingDelete follow = PendingDelete::make(
        QStringLiteral("And the rest?"), QStringLiteral("m"), QStringLiteral("Delete"), [] {});
    item.setPending(PendingDelete::make(QStringLiteral("t"), QStringLiteral("m"),
                                        QStringLiteral("Delete"),
                                        [&] { item.setPending(follow); }));
    type(item.sheet(), QStringLiteral("4444"));
    QTest::mouseClick(item.sheet()->confirmButton(), Qt::LeftButton);
    ASSERT_TRUE(item.pending().has_value());
    EXPECT_EQ(item.pending()->id, follow.id);
    EXPECT_NE(item.sheet(), nullptr);
}

} // namespace
