#include "shell/views/ContentView.h"

#include <QHBoxLayout>
#include <QLabel>

ContentView::ContentView(const Services& services, QWidget* parent)
    : QWidget(parent), m_services(services) {
    auto* layout = new QHBoxLayout(this);
    m_detail = new QLabel(this);
    m_detail->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_detail);
    selectSection(m_selected);
}

void ContentView::selectSection(const QString& id) {
    m_selected = id;
    m_detail->setText(QStringLiteral("Pendrel — %1").arg(id));
}
