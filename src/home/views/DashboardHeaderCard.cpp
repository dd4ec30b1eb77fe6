#include "home/views/DashboardHeaderCard.h"

#include "home/views/HomeTint.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKSymbol.h"

#include <QEvent>
#include <QLabel>

DashboardHeaderCard::DashboardHeaderCard(QWidget* parent) : TintPanel(HomeTone::Green, 16, parent) {
    setObjectName(QStringLiteral("dashboardHeader"));
    using namespace QKLayout;
    column(
        {20, 20, 20, 20}, 7,
        {part(m_greeting = QKBuild::label(QString(), TextStyle::Title2, QKForeground::Primary, this,
                                          QFont::Bold))
             .name(QStringLiteral("greeting")),
         row(8, {part(m_symbol = new QKSymbol(QString(), QKFont{.style = TextStyle::Title3}, this))
                     .align(Qt::AlignVCenter),
                 part(m_status = QKBuild::label(QString(), TextStyle::Title3, QKForeground::Primary,
                                                this, QFont::DemiBold))
                     .name(QStringLiteral("statusText"))
                     .stretch(1)
                     .align(Qt::AlignVCenter)}),
         part(m_count =
                  QKBuild::label(QString(), TextStyle::Callout, QKForeground::Secondary, this))
             .name(QStringLiteral("countLine")),
         part(m_lastChecked =
                  QKBuild::label(QString(), TextStyle::Caption, QKForeground::Tertiary, this))
             .name(QStringLiteral("lastChecked"))
             .with([](QLabel* l) { l->hide(); })})
        .on(this);
}

void DashboardHeaderCard::setContent(const QString& greeting, const DashboardText::Status& status,
                                     const QString& countLine,
                                     const std::optional<QString>& lastChecked,
                                     const QString& help) {
    m_greeting->setText(greeting);
    m_symbol->setSymbol(status.symbol);
    m_status->setText(status.text);
    m_count->setText(countLine);
    m_lastChecked->setText(lastChecked.value_or(QString()));
    m_lastChecked->setVisible(lastChecked.has_value());
    setToolTip(help);
    setTone(status.tone);
    applySymbolColor();
}

void DashboardHeaderCard::applySymbolColor() {
    if (!m_symbol) // a palette change while the card is being built
        return;
    QPalette pal = m_symbol->palette();
    pal.setColor(QPalette::WindowText, HomeTint::color(tone(), palette()));
    m_symbol->setPalette(pal);
}

void DashboardHeaderCard::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        applySymbolColor();
    TintPanel::changeEvent(event);
}
