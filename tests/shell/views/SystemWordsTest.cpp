// What the shell says names this system's own parts: the other platform's OS, maker and tools
// never appear as the actor or as advice in the settings, About, the menus or the catalog.
#include "app/MainWindow.h"
#include "app/PendrelApp.h"
#include "app/SettingsWindow.h"
#include "shell/QKFeature.h"
#include "shell/SettingsText.h"
#include "shell/views/AboutView.h"
#include "shell/views/SettingsView.h"
#include "ui-kit/SegmentedControl.h"
#include "vitals/SystemSnapshot.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>

namespace {

const QStringList kForeign = {"macOS",   "Apple",  "Finder", "Dock",     "Spotlight",
                              "Sparkle", "Vision", "SMC",    "Terminal", "caffeinate"};

QStringList shownTexts(const QWidget& root) {
    QStringList texts;
    for (const QLabel* l : root.findChildren<QLabel*>())
        texts << l->text();
    for (const QAbstractButton* b : root.findChildren<QAbstractButton*>())
        texts << b->text();
    for (const SegmentedControl* s : root.findChildren<SegmentedControl*>())
        texts << s->labels();
    return texts;
}

void expectNoForeignWords(const QStringList& texts, const char* where) {
    for (const QString& text : texts)
        for (const QString& word : kForeign) {
            // Whole words: "Docker" is a tool of this system too.
            const QRegularExpression whole(QStringLiteral("\\b%1\\b").arg(word));
            EXPECT_FALSE(text.contains(whole)) << where << ": \"" << qPrintable(text) << "\"";
        }
}

} // namespace

TEST(SystemWords, SettingsAboutAndMenusNameThisSystem) {
    PendrelApp app(PendrelApp::Options{.useSystemTray = false});
    expectNoForeignWords(shownTexts(*app.settingsWindow()), "settings");
    for (RunMode mode : allRunModes())
        expectNoForeignWords({SettingsText::runModeExplanation(mode)}, "run mode");
    AboutView about;
    expectNoForeignWords(shownTexts(about), "about");
    QStringList menus;
    for (const QAction* menu : app.mainWindow()->menuBar()->actions()) {
        menus << menu->text();
        if (menu->menu())
            for (const QAction* item : menu->menu()->actions())
                menus << item->text();
    }
    expectNoForeignWords(menus, "menus");
}

TEST(SystemWords, TheCatalogsBlurbsTitlesAndRepliesNameThisSystem) {
    SystemSnapshot sample;
    sample.memTotalBytes = 16ULL << 30;
    sample.memUsedBytes = 12ULL << 30;
    for (const QKFeature& f : QKFeature::all()) {
        QStringList texts{f.title, f.blurb};
        if (f.actionLabel)
            texts << *f.actionLabel;
        if (f.hasReply())
            texts << f.reply(sample) << f.reply(SystemSnapshot());
        expectNoForeignWords(texts, qPrintable(f.id));
    }
}
