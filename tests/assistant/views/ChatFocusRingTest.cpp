// The conversation's current message, seen from the keyboard: its ring stands apart from
// everything beside it, the next message's bubble included.
#include "assistant/views/ChatScreen.h"
#include "platform/UserDefaults.h"
#include "support/AccessibleAudit.h"
#include "ui-kit/Color.h"
#include "ui-kit/ThemeSettings.h"

#include <QApplication>
#include <QLineEdit>

using namespace chattest;

// The welcome sits right above the user's question, whose bubble is the accent, and the question
// right above its answer: a ring around a whole row, the gap under it included, would run along
// the next bubble's top edge.
TEST(TamsoAIView, TheCurrentMessagesRingStandsApartFromEveryBubbleBesideIt) {
    Screen s(QStringLiteral("chat-ring"));
    s.open();
    s.rig.assistant->ask(QStringLiteral("Can you tidy my Downloads folder?"), {}, std::nullopt);
    ASSERT_TRUE(s.waitForAnswers(3));
    auto* elsewhere = s.view->findChild<QLineEdit*>();
    ASSERT_NE(elsewhere, nullptr);
    s.view->activateWindow();
    for (const QString& appearance : {QStringLiteral("Light"), QStringLiteral("Dark")}) {
        UserDefaults::standard().setValue(ThemeKeys::Appearance, appearance);
        QApplication::processEvents();
        ASSERT_EQ(Color::isDark(s.list()->palette()), appearance == QLatin1String("Dark"));
        for (const int row : {0, 1}) {
            s.list()->setCurrentIndex(s.row(row));
            const testsupport::RingSides sides = testsupport::ringAsTabShowsIt(s.list(), elsewhere);
            const std::string what =
                appearance.toStdString() + (row == 0 ? " welcome" : " question");
            EXPECT_GE(sides.seen, 4 * s.list()->visualRect(s.row(row)).height()) << what;
            EXPECT_LE(sides.faint * 8, sides.seen + sides.faint)
                << what << ": " << sides.faint << " faint of " << sides.seen + sides.faint;
        }
    }
    UserDefaults::standard().remove(ThemeKeys::Appearance);
}
