#include "apps/views/TweakRow.h"

#include "ui-kit/QKBuild.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/ToggleSwitch.h"

#include <QLabel>

TweakRow::TweakRow(const Tweak& tweak, QWidget* parent) : QWidget(parent), m_tweak(tweak) {
    setObjectName(QStringLiteral("tweak-") + tweak.id);
    using namespace QKLayout;
    row({14, 8, 14, 8}, 12,
        {column(2, {part(m_name = QKBuild::label(tweak.name, TextStyle::Body, QKForeground::Primary,
                                                 this))
                        .name(QStringLiteral("tweakName")),
                    part(m_description = QKBuild::label(tweak.plainDescription, TextStyle::Caption,
                                                        QKForeground::Secondary, this))
                        .name(QStringLiteral("tweakDescription"))})
             .stretch(1),
         part(m_switch = new ToggleSwitch(QString(), this))
             .name(QStringLiteral("tweakSwitch"))
             .accessibleName(tweak.name)
             .with(
                 [](ToggleSwitch* s) { s->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed); })
             .align(Qt::AlignTop)})
        .on(this);
    connect(m_switch, &ToggleSwitch::clicked, this,
            [this](bool on) { emit switchTurned(m_tweak, on); });
}

void TweakRow::setOn(bool on) {
    m_switch->setChecked(on);
}
