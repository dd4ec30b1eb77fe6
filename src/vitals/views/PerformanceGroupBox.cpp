#include "vitals/views/PerformanceGroupBox.h"
#include "ui-kit/QKBuild.h"

#include "ui-kit/QKCardSurface.h"
#include "vitals/views/PerformanceWidgets.h"

#include <QLabel>
#include <QVBoxLayout>

PerformanceGroupBox::PerformanceGroupBox(const QString& title, int spacing, QWidget* parent)
    : QWidget(parent), m_title(title) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(6);
    if (!title.isEmpty()) {
        QLabel* heading = QKBuild::label(title, TextStyle::Subheadline, QKForeground::Secondary,
                                         this, QFont::DemiBold, false);
        heading->setObjectName(QStringLiteral("groupTitle"));
        outer->addWidget(heading);
    }
    m_card = new QKCardSurface(10, false, this);
    m_column = new QVBoxLayout(m_card);
    // The box's own inset plus the 4 points the content asks for.
    m_column->setContentsMargins(14, 12, 14, 12);
    m_column->setSpacing(spacing);
    outer->addWidget(m_card);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
}
