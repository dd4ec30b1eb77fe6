#include "ui-kit/QKGroupBox.h"

#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKLayout.h"

#include <QLabel>
#include <QVBoxLayout>

QKGroupBox::QKGroupBox(const QString& title, int spacing, QWidget* parent)
    : QWidget(parent), m_title(title) {
    namespace L = QKLayout; // unqualified, column() is the box's own
    L::Box outer = L::column({0, 0, 0, 0}, 6, {});
    if (!title.isEmpty())
        outer.add(L::part(QKBuild::label(title, TextStyle::Subheadline, QKForeground::Secondary,
                                         this, QFont::DemiBold, false))
                      .name(QStringLiteral("groupTitle")));
    QBoxLayout* content = nullptr;
    outer
        .add(L::part(m_card = new QKCardSurface(10, false, this))
                 .holding(L::column({14, 12, 14, 12}, spacing, {}).keep(content)))
        .on(this);
    // A column is laid out as a QVBoxLayout; callers add to it as one.
    m_column = static_cast<QVBoxLayout*>(content);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

QLabel* QKGroupBox::addLabel(const QString& text, TextStyle style, QKForeground::Style tone,
                             const QString& name) {
    QLabel* label = QKBuild::label(text, style, tone, m_card);
    if (!name.isEmpty())
        label->setObjectName(name);
    QKLayout::items({QKLayout::part(label)}).fill(m_column);
    return label;
}
