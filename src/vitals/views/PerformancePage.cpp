#include "vitals/views/PerformancePage.h"

#include "ui-kit/QKBuild.h"
#include "ui-kit/QKLayout.h"
#include "vitals/views/PerformanceGroupBox.h"

#include <QVBoxLayout>

PerformancePage::PerformancePage(const QString& intro, QWidget* parent) : QWidget(parent) {
    QKBuild::introPage(m_column, this, intro);
    m_content = m_column->parentWidget();
}

PerformanceGroupBox* PerformancePage::addBox(const QString& title, int spacing,
                                             const QString& name) {
    PerformanceGroupBox* box = nullptr;
    QKLayout::items(
        {QKLayout::part(box = new PerformanceGroupBox(title, spacing, m_content)).name(name)})
        .fillPage(m_column);
    return box;
}
