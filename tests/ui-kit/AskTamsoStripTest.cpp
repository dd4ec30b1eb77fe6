#include "ui-kit/AskTamsoStrip.h"
#include "platform/NotificationCenter.h"
#include "support/Find.h"
#include "ui-kit/QKProminentButton.h"

#include <gtest/gtest.h>
#include <memory>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace {

class AskTamsoStripTest : public ::testing::Test {
protected:
    void SetUp() override {
        context = std::make_unique<QObject>();
        NotificationCenter::defaultCenter().observe(Notifications::AskTamso, context.get(),
                                                    [this](const QString& q) { asked << q; });
    }
    std::unique_ptr<AskTamsoStrip> strip(const QString& question) {
        auto s = std::make_unique<AskTamsoStrip>(QStringLiteral("Ask about this…"), question, true);
        s->show();
        return s;
    }

    std::unique_ptr<QObject> context;
    QStringList asked;
};

QKProminentButton* askButton(const AskTamsoStrip& strip) {
    return Find::part<QKProminentButton>(strip, "askStripSend");
}

TEST_F(AskTamsoStripTest, EmptyFieldSendsThePresetQuestionTrimmed) {
    auto s = strip(QStringLiteral("  What is safe to clean?\n"));
    EXPECT_TRUE(askButton(*s)->isEnabled());
    EXPECT_EQ(s->field()->placeholderText(), QStringLiteral("Ask about this…"));
    QTest::mouseClick(askButton(*s), Qt::LeftButton);
    EXPECT_EQ(asked, QStringList{QStringLiteral("What is safe to clean?")});
}

TEST_F(AskTamsoStripTest, TypedTextWinsIsTrimmedAndEmptiesTheField) {
    auto s = strip(QStringLiteral("Preset"));
    QTest::keyClicks(s->field(), QStringLiteral("  why so big?  "));
    QTest::keyClick(s->field(), Qt::Key_Return);
    EXPECT_EQ(asked, QStringList{QStringLiteral("why so big?")});
    EXPECT_TRUE(s->draft().isEmpty());
}

TEST_F(AskTamsoStripTest, BlankFieldAndBlankPresetSendNothing) {
    auto s = strip(QStringLiteral(" \t"));
    EXPECT_FALSE(askButton(*s)->isEnabled());
    QTest::keyClicks(s->field(), QStringLiteral("   "));
    EXPECT_FALSE(askButton(*s)->isEnabled());
    QTest::keyClick(s->field(), Qt::Key_Return);
    s->send();
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(s->draft(), QStringLiteral("   ")); // nothing sent, nothing cleared

    QTest::keyClicks(s->field(), QStringLiteral("x"));
    EXPECT_TRUE(askButton(*s)->isEnabled());
}

TEST_F(AskTamsoStripTest, ClickAnywhereFocusesTheField) {
    auto s = strip(QString());
    QTest::mouseClick(s.get(), Qt::LeftButton, {}, QPoint(s->width() / 2, 2));
    EXPECT_EQ(s->focusWidget(), s->field());
}

} // namespace
