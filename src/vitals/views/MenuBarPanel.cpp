#include "vitals/views/MenuBarPanel.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

MenuBarPanel::MenuBarPanel(const Services& services, QWidget* parent)
    : QWidget(parent), m_services(services) {
    setObjectName(QStringLiteral("menuBarPanel"));
    setFixedWidth(320);
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("Pendrel"), this);
    QFont f = title->font();
    f.setBold(true);
    title->setFont(f);
    layout->addWidget(title);
    auto* open = new QPushButton(QStringLiteral("Open Pendrel…"), this);
    auto* quit = new QPushButton(QStringLiteral("Quit"), this);
    layout->addWidget(open);
    layout->addWidget(quit);
    connect(open, &QPushButton::clicked, this, &MenuBarPanel::openMainWindowRequested);
    connect(quit, &QPushButton::clicked, this, &MenuBarPanel::quitRequested);
}
