#include "app/MainWindow.h"

#include "shell/views/ContentView.h"

#include <QAction>
#include <QKeySequence>
#include <QMenuBar>
#include <QShowEvent>

MainWindow::MainWindow(const Services& services, QWidget* parent)
    : QMainWindow(parent), m_services(services) {
    setObjectName(QStringLiteral("main"));
    setWindowTitle(QStringLiteral("Pendrel"));
    setMinimumSize(940, 620);
    resize(1180, 760);
    m_content = new ContentView(services, this);
    setCentralWidget(m_content);
    buildMenus();
}

void MainWindow::buildMenus() {
    QMenu* appMenu = menuBar()->addMenu(QStringLiteral("Pendrel"));
    QAction* about = appMenu->addAction(QStringLiteral("About Pendrel"));
    connect(about, &QAction::triggered, this, [this] { m_content->selectSection(QStringLiteral("about")); });
    // There is no update mechanism: the command is present and can never be chosen.
    m_checkForUpdates = appMenu->addAction(QStringLiteral("Check for Updates…"));
    m_checkForUpdates->setEnabled(false);
    appMenu->addSeparator();
    QAction* settings = appMenu->addAction(QStringLiteral("Settings…"));
    settings->setShortcut(QKeySequence(QStringLiteral("Ctrl+,")));
    connect(settings, &QAction::triggered, this, &MainWindow::settingsRequested);
    appMenu->addSeparator();
    QAction* quit = appMenu->addAction(QStringLiteral("Quit Pendrel"));
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, this, &MainWindow::quitRequested);

    QMenu* view = menuBar()->addMenu(QStringLiteral("View"));
    const struct {
        const char* title;
        QList<QKeySequence> keys;
    } textSize[] = {
        {"Bigger Text", {QKeySequence(QStringLiteral("Ctrl++")), QKeySequence(QStringLiteral("Ctrl+="))}},
        {"Smaller Text", {QKeySequence(QStringLiteral("Ctrl+-"))}},
        {"Normal Text Size", {QKeySequence(QStringLiteral("Ctrl+0"))}},
    };
    for (const auto& item : textSize) {
        QAction* action = view->addAction(QString::fromUtf8(item.title));
        action->setShortcuts(item.keys);
        action->setObjectName(QString::fromUtf8(item.title));
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // A window coming back from being minimised is not a new showing.
    if (!event->spontaneous())
        emit shown();
}
