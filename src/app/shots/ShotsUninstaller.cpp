#include "app/shots/Shots.h"

#include "apps/AppInventory.h"
#include "apps/AppUninstaller.h"
#include "apps/LeftoverSearch.h"
#include "apps/UninstallerText.h"
#include "apps/views/AppsHubView.h"
#include "apps/views/SubscriptionIntelligenceView.h"
#include "apps/views/UninstallerView.h"
#include "fakes/FakeApplicationProcesses.h"
#include "fakes/FakeToolRunner.h"
#include "fakes/FakeTrash.h"
#include "platform/HomeLayout.h"
#include "shell/ScreenState.h"
#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DeleteConfirm.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSize>
#include <QTimer>

namespace {

void writeBytes(const QString& path, qint64 bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return;
    const QByteArray block(64 * 1024, 'x');
    for (qint64 left = bytes; left > 0; left -= block.size())
        f.write(block.constData(), std::min<qint64>(left, block.size()));
}

// A bundle with an identifier, a payload of the given size and, when asked, its own icon.
void bundle(const QString& folder, const QString& name, const QString& identifier, qint64 bytes,
            const QColor& icon = QColor()) {
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".app");
    QByteArray plist = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>";
    if (!identifier.isEmpty())
        plist += "<key>CFBundleIdentifier</key><string>" + identifier.toUtf8() + "</string>";
    if (icon.isValid())
        plist += "<key>CFBundleIconFile</key><string>AppIcon.png</string>";
    plist += "</dict></plist>";
    Shots::writeFile(path + QStringLiteral("/Contents/Info.plist"), plist);
    writeBytes(path + QStringLiteral("/Contents/MacOS/") + name, bytes);
    if (icon.isValid()) {
        QImage image(128, 128, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(icon);
        p.drawRoundedRect(QRectF(4, 4, 120, 120), 28, 28);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(34, 30, 60, 70), 8, 8);
        p.setBrush(icon.darker(130));
        for (int i = 0; i < 4; ++i)
            p.drawRect(QRectF(44, 44 + i * 12, i == 3 ? 24 : 40, 4));
        p.end();
        QDir().mkpath(path + QStringLiteral("/Contents/Resources"));
        image.save(path + QStringLiteral("/Contents/Resources/AppIcon.png"));
    }
}

// A home with a few applications in the system and user folders and what Editor left behind.
struct AppsMachine {
    HomeLayout layout;
    QString system;
    QString user;

    explicit AppsMachine(const QString& base)
        : layout(HomeLayout::forHome(base + QStringLiteral("/home"))),
          system(base + QStringLiteral("/Applications")),
          user(layout.home() + QStringLiteral("/Applications")) {
        bundle(system, QStringLiteral("Editor"), QStringLiteral("com.example.editor"), 24'300'000,
               QColor(0x2457D6));
        bundle(system, QStringLiteral("Photo Booth"), QStringLiteral("com.example.booth"),
               6'100'000, QColor(0xD6336C));
        bundle(system, QStringLiteral("Signal"), QStringLiteral("org.whispersystems.signal"),
               11'800'000);
        bundle(system + QStringLiteral("/Utilities"), QStringLiteral("Disk Helper"),
               QStringLiteral("com.example.diskhelper"), 1'400'000);
        bundle(user, QStringLiteral("Zed"), QStringLiteral("dev.zed.Zed"), 9'200'000,
               QColor(0x30A46C));
        writeBytes(user + QStringLiteral("/Obsidian-1.5.3.AppImage"), 4'600'000);

        const QString data = layout.dataHome();
        const QString config = layout.configHome();
        writeBytes(layout.cacheHome() + QStringLiteral("/com.example.editor/index.db"), 12'400'000);
        writeBytes(data + QStringLiteral("/com.example.editor/Workspaces/state.json"), 3'100'000);
        writeBytes(config + QStringLiteral("/com.example.editor.plist"), 6'000);
        writeBytes(layout.stateHome() + QStringLiteral("/com.example.editor.savedState/windows"),
                   40'000);
        writeBytes(layout.home() + QStringLiteral("/Library/Logs/Editor.log"), 820'000);
        writeBytes(config + QStringLiteral("/Editor Tools/recent.json"), 9'000);
    }

    AppUninstaller::Deps tools(const QString& base) const {
        AppUninstaller::Deps t;
        t.applicationFolders = {system, system + QStringLiteral("/Utilities"), user};
        t.leftoverFolders = LeftoverSearch::folders(layout);
        t.protectedPaths = AppUninstaller::protectedPathsFor(layout);
        t.cache = CacheFolder(AppSupportFolder(layout.appSupportDir()));
        t.trash = std::make_shared<FakeTrash>(base + QStringLiteral("/trash"));
        t.runner = std::make_shared<FakeToolRunner>();
        t.processes = std::make_shared<FakeApplicationProcesses>();
        t.wait = [](int, std::function<void()> then) {
            QTimer::singleShot(0, QCoreApplication::instance(), std::move(then));
        };
        return t;
    }
};

// Renders the window at both ends of the text sizes, light and dark, and leaves it small.
void looks(ShotContext& ctx, QWidget* window, const QString& name, const QSize& small,
           const QSize& large) {
    ctx.saveLooks(window, name, small, large);
    window->resize(small);
    Shots::settle();
}

} // namespace

// The Apps section (overview and uninstall pane, with an application picked, its leftovers
// found and one name-only match left unticked, the typed-code sheet and the result line) and the
// Subscriptions section, over a home made for the purpose.
void renderUninstallerShots(ShotContext& ctx) {
    const QString base = QDir::homePath() + QStringLiteral("/uninstaller-shots");
    QDir(base).removeRecursively();
    AppsMachine machine(base);
    AppUninstaller uninstaller(machine.tools(base));
    ScreenState screen;

    std::unique_ptr<QWidget> hub(
        Shots::frame(new AppsHubView(screen, uninstaller), QStringLiteral("uninstaller")));
    hub->resize(1000, 720);
    hub->show();
    Shots::settle();
    ctx.save(hub.get(), QStringLiteral("apps-hub"));
    looks(ctx, hub.get(), QStringLiteral("apps-hub"), QSize(1000, 720), QSize(1000, 960));
    hub->resize(600, 900);
    Shots::settle();
    ctx.save(hub.get(), QStringLiteral("apps-hub-narrow"));

    screen.setAppsPane(AppsPane::Uninstall);
    hub->resize(1100, 720);
    Shots::waitFor([&] { return uninstaller.state().phase == ScanPhase::Done; }, 10000);
    Shots::settle();
    ctx.save(hub.get(), QStringLiteral("apps-uninstall-pick"));
    auto* view = hub->findChild<UninstallerView*>();
    const auto pickEditor = [&] {
        for (const InstalledApp& app : uninstaller.apps()) {
            if (view && app.name == QLatin1String("Editor"))
                view->pick(app.id);
        }
    };
    {
        // The leftovers found are held back, so the pane is still looking for them.
        Shots::DropDeliveries held;
        pickEditor();
        Shots::settle();
        ctx.save(hub.get(), QStringLiteral("apps-uninstall-checking"));
    }
    pickEditor();
    Shots::waitFor([&] { return !uninstaller.leftoversLoading(); }, 10000);
    Shots::settle();
    ctx.save(hub.get(), QStringLiteral("apps-uninstall"));
    looks(ctx, hub.get(), QStringLiteral("apps-uninstall"), QSize(1100, 720), QSize(1280, 900));

    if (view) {
        Shots::fixCodes(hub.get());
        view->confirm()->setPresented(true);
        Shots::settle();
        if (DeleteCodeSheet* sheet = view->confirm()->sheet())
            ctx.save(sheet, QStringLiteral("apps-uninstall-confirm"));
        view->confirm()->setPresented(false);
        Shots::settle();
        // What the pane says after a removal.
        bool finished = false;
        uninstaller.uninstall([&](const UninstallOutcome& outcome) {
            screen.setUninstallResult(
                UninstallerText::resultText(outcome, QStringLiteral("Editor")));
            finished = true;
        });
        Shots::waitFor([&] { return finished; }, 10000);
        Shots::waitFor([&] { return uninstaller.state().phase == ScanPhase::Done; }, 10000);
        Shots::settle();
        ctx.save(hub.get(), QStringLiteral("apps-uninstall-result"));
    }
    hub.reset();

    std::unique_ptr<QWidget> subscriptions(
        Shots::frame(new SubscriptionIntelligenceView, QStringLiteral("subscriptions")));
    subscriptions->resize(900, 760);
    subscriptions->show();
    Shots::settle();
    ctx.save(subscriptions.get(), QStringLiteral("subscriptions"));
    looks(ctx, subscriptions.get(), QStringLiteral("subscriptions"), QSize(900, 760),
          QSize(900, 1000));
}
