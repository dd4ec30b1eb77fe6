// The assistant's screen as the tests open it: a real assistant on fakes, a real search over a
// sandbox home, and ways to reach the conversation's drawn rows and buttons.
#pragma once

#include "assistant/AssistantTestSupport.h"
#include "assistant/SpotlightSearch.h"
#include "assistant/TamsoMessageListModel.h"
#include "assistant/views/ChatMessageDelegate.h"
#include "assistant/views/ChatMessageRow.h"
#include "assistant/views/TamsoAIView.h"
#include "fakes/FakeFileRevealer.h"
#include "fakes/FakeSnapshotSampler.h"
#include "shell/ScreenState.h"
#include "ui-kit/QKRowList.h"
#include "vitals/AppState.h"

#include <gtest/gtest.h>
#include <memory>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace chattest {

using namespace assistanttest;

inline QString sandboxHome(const QString& name) {
    const QString home = testsupport::freshDir(name);
    for (const char* f : {"Documents/invoice-2024.pdf", "Documents/letter.txt"}) {
        const QString path = home + QLatin1Char('/') + QString::fromUtf8(f);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("hello");
    }
    return home;
}

struct Screen {
    explicit Screen(const QString& name, SpotlightSearch::Limits limits = {})
        : rig(name), appState(AppState::Options{.makeSampler = FakeSnapshotSampler::factory(
                                                    std::make_shared<FakeSamplerState>()),
                                                .startSampling = false}),
          finder(sandboxHome(name + QStringLiteral("-files")), limits) {}

    TamsoAIView* open() {
        view = std::make_unique<TamsoAIView>(screen, appState, *rig.assistant, finder, &revealer);
        view->resize(1100, 700);
        view->show();
        return view.get();
    }
    // Notifications posted on the assistant's own centre, by name.
    QStringList posted(const QString& name) {
        QStringList out;
        for (const auto& [n, payload] : rigPosts)
            if (n == name)
                out << payload;
        return out;
    }
    void watch() {
        for (const QString& n : {Notifications::OpenSection, Notifications::OpenDiskMode})
            rig.notifications.observe(n, &appState, [this, n](const QString& payload) {
                rigPosts.append({n, payload});
            });
    }
    // The conversation's list, its rows and the buttons they draw.
    QKRowList* list() const { return view->findChild<QKRowList*>(QStringLiteral("messages")); }
    ChatMessageDelegate* delegate() const {
        return qobject_cast<ChatMessageDelegate*>(list()->itemDelegate());
    }
    int rowCount() const { return list()->model()->rowCount(); }
    QModelIndex row(int i) const { return list()->model()->index(i, 0); }
    TamsoMessage message(int i) const {
        return row(i).data(TamsoMessageListModel::MessageRole).value<TamsoMessage>();
    }
    QStringList buttons(int i) const {
        QStringList names;
        for (const auto& [name, spoken] : delegate()->rowActions(row(i)))
            names << name;
        return names;
    }
    // The row and the button of the chip with this label, or -1 and nothing.
    std::pair<int, QString> chip(const QString& label) const {
        for (int i = 0; i < rowCount(); ++i)
            for (int a = 0; a < message(i).actions.size(); ++a)
                if (message(i).actions.at(a).label == label)
                    return {i, ChatMessageRow::chipName(a)};
        return {-1, {}};
    }
    // Clicks a button where the list draws it.
    void click(int i, const QString& button) {
        QCoreApplication::processEvents(); // the list lays its rows out
        const QRect at = delegate()->actionRect(row(i), button);
        ASSERT_FALSE(at.isEmpty()) << button.toStdString();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at.center());
    }
    void clickChip(const QString& label) {
        const auto [i, button] = chip(label);
        ASSERT_GE(i, 0) << label.toStdString();
        click(i, button);
    }
    bool waitForAnswers(qsizetype messages) {
        return testsupport::waitFor([&] {
            return rig.assistant->messages().size() >= messages && !rig.assistant->thinking() &&
                   rowCount() >= messages;
        });
    }

    AssistantRig rig;
    AppState appState;
    SpotlightSearch finder;
    ScreenState screen;
    FakeFileRevealer revealer;
    std::unique_ptr<TamsoAIView> view;
    QList<std::pair<QString, QString>> rigPosts;
};

} // namespace chattest
