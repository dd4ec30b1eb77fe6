#include "app/MainWindow.h"

#include "app/FeatureScreens.h"
#include "shell/views/ContentView.h"
#include "ui-kit/TextSizeCommands.h"
#include "ui-kit/Themed.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeySequence>
#include <QMenuBar>
#include <QShowEvent>

MainWindow::MainWindow(const Services& services, TextSizeCommands* textSize, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_textSize(textSize) {
    setObjectName(QStringLiteral("main"));
    resize(1180, 760);
    Themed::apply(this);
    if (!m_textSize)
        m_textSize = new TextSizeCommands(this);
    makeContent();
    buildMenus();
}

void MainWindow::makeContent() {
    ContentView::Deps options;
    const Services services = m_services;
    options.makeScreen = [services](const QString& id, QWidget* parent) {
        return FeatureScreens::build(id, services, parent);
    };
    auto* content = new ContentView(m_services, std::move(options), this);
    // The minimum belongs to the content: the window adds its menu bar on top of it.
    content->setMinimumSize(kContentMinimum);
    // The old content goes at once, so it answers no message meant for the new one.
    delete takeCentralWidget();
    setCentralWidget(content);
    m_content = content;
    // The title names the section shown, as the content view reports it.
    setWindowTitle(m_content->title());
    connect(m_content, &ContentView::titleChanged, this, &QWidget::setWindowTitle);
}

void MainWindow::buildMenus() {
    QMenu* appMenu = menuBar()->addMenu(QStringLiteral("Pendrel"));
    QAction* about = appMenu->addAction(QStringLiteral("About Pendrel"));
    connect(about, &QAction::triggered, this,
            [this] { m_content->selectSection(QStringLiteral("about")); });
    // There is no update mechanism: the command is present and can never be chosen.
    QAction* checkForUpdates = appMenu->addAction(QStringLiteral("Check for Updates…"));
    checkForUpdates->setObjectName(QStringLiteral("checkForUpdates"));
    checkForUpdates->setEnabled(false);
    appMenu->addSeparator();
    QAction* settings = appMenu->addAction(QStringLiteral("Settings…"));
    settings->setShortcut(QKeySequence(QStringLiteral("Ctrl+,")));
    connect(settings, &QAction::triggered, this, &MainWindow::settingsRequested);
    appMenu->addSeparator();
    QAction* quit = appMenu->addAction(QStringLiteral("Quit Pendrel"));
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, this, &MainWindow::quitRequested);

    QMenu* view = menuBar()->addMenu(QStringLiteral("View"));
    m_textSize->addTo(view);
}

void MainWindow::setVisible(bool visible) {
    // A window opened again after it was closed shows fresh content, built before it is shown.
    if (visible && !isVisible() && m_contentClosed) {
        m_contentClosed = false;
        makeContent();
    }
    QMainWindow::setVisible(visible);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        m_contentClosed = true;
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // A window coming back from being minimised is not a new showing.
    if (!event->spontaneous())
        emit shown();
}
