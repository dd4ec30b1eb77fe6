#include "ui-kit/QKGroupBox.h"

#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"

#include <QLabel>
#include <QVBoxLayout>

QKGroupBox::QKGroupBox(const QString& title, int spacing, QWidget* parent)
    : QWidget(parent), m_title(title) {
    auto* outer = QKBuild::insetColumn(this, {0, 0, 0, 0}, 6);
    if (!title.isEmpty()) {
        QLabel* heading = QKBuild::label(title, TextStyle::Subheadline, QKForeground::Secondary,
                                         this, QFont::DemiBold, false);
        heading->setObjectName(QStringLiteral("groupTitle"));
        outer->addWidget(heading);
    }
    m_card = new QKCardSurface(10, false, this);
    m_column = QKBuild::insetColumn(m_card, {14, 12, 14, 12}, spacing);
    outer->addWidget(m_card);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

QLabel* QKGroupBox::addLabel(const QString& text, TextStyle style, QKForeground::Style tone,
                             const QString& name) {
    QLabel* label = QKBuild::label(text, style, tone, m_card);
    if (!name.isEmpty())
        label->setObjectName(name);
    m_column->addWidget(label);
    return label;
}
