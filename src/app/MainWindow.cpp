#include "app/MainWindow.h"

#include "app/FeatureScreens.h"
#include "shell/views/ContentView.h"
#include "ui-kit/TextSizeCommands.h"
#include "ui-kit/Themed.h"

#include <QAction>
#include <QKeySequence>
#include <QMenuBar>
#include <QShowEvent>

MainWindow::MainWindow(const Services& services, QWidget* parent)
    : QMainWindow(parent), m_services(services) {
    setObjectName(QStringLiteral("main"));
    setMinimumSize(940, 620);
    resize(1180, 760);
    Themed::apply(this);
    ContentView::Options options;
    options.makeScreen = [services](const QString& id, QWidget* parent) {
        return FeatureScreens::build(id, services, parent);
    };
    m_content = new ContentView(services, std::move(options), this);
    setCentralWidget(m_content);
    // The title names the section shown, as the content view reports it.
    setWindowTitle(m_content->title());
    connect(m_content, &ContentView::titleChanged, this, &QWidget::setWindowTitle);
    buildMenus();
}

void MainWindow::buildMenus() {
    QMenu* appMenu = menuBar()->addMenu(QStringLiteral("Pendrel"));
    QAction* about = appMenu->addAction(QStringLiteral("About Pendrel"));
    connect(about, &QAction::triggered, this,
            [this] { m_content->selectSection(QStringLiteral("about")); });
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
    (new TextSizeCommands(this))->addTo(view);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // A window coming back from being minimised is not a new showing.
    if (!event->spontaneous())
        emit shown();
}
