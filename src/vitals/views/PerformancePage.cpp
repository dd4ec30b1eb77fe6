#include "vitals/views/PerformancePage.h"

#include "ui-kit/QKBuild.h"
#include "vitals/views/PerformanceGroupBox.h"

#include <QVBoxLayout>

PerformancePage::PerformancePage(const QString& intro, QWidget* parent) : QWidget(parent) {
    QKBuild::introPage(m_column, this, intro);
    m_content = m_column->parentWidget();
}

PerformanceGroupBox* PerformancePage::addBox(const QString& title, int spacing,
                                             const QString& name) {
    auto* box = new PerformanceGroupBox(title, spacing, m_content);
    if (!name.isEmpty())
        box->setObjectName(name);
    QKBuild::addPart(m_column, box);
    return box;
}
