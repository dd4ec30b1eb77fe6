#include "apps/views/TweakRow.h"

#include "ui-kit/QKBuild.h"
#include "ui-kit/ToggleSwitch.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

TweakRow::TweakRow(const Tweak& tweak, QWidget* parent) : QWidget(parent), m_tweak(tweak) {
    setObjectName(QStringLiteral("tweak-") + tweak.id);
    auto* row = QKBuild::insetRow(this, {14, 8, 14, 8}, 12);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    m_name = QKBuild::label(tweak.name, TextStyle::Body, QKForeground::Primary, this);
    m_description =
        QKBuild::label(tweak.plainDescription, TextStyle::Caption, QKForeground::Secondary, this);
    m_name->setObjectName(QStringLiteral("tweakName"));
    m_description->setObjectName(QStringLiteral("tweakDescription"));
    texts->addWidget(m_name);
    texts->addWidget(m_description);
    row->addLayout(texts, 1);

    m_switch = new ToggleSwitch(QString(), this);
    m_switch->setObjectName(QStringLiteral("tweakSwitch"));
    m_switch->setAccessibleName(tweak.name);
    m_switch->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    row->addWidget(m_switch, 0, Qt::AlignTop);
    connect(m_switch, &ToggleSwitch::clicked, this,
            [this](bool on) { emit switchTurned(m_tweak, on); });
}

void TweakRow::setOn(bool on) {
    m_switch->setChecked(on);
}
