#include "home/views/DashboardHeaderCard.h"

#include "home/views/HomeTint.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKSymbol.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

DashboardHeaderCard::DashboardHeaderCard(QWidget* parent) : TintPanel(HomeTone::Green, 16, parent) {
    setObjectName(QStringLiteral("dashboardHeader"));
    auto* column = QKBuild::insetColumn(this, {20, 20, 20, 20}, 7);
    m_greeting =
        QKBuild::label(QString(), TextStyle::Title2, QKForeground::Primary, this, QFont::Bold);
    m_greeting->setObjectName(QStringLiteral("greeting"));
    column->addWidget(m_greeting);

    auto* statusRow = new QHBoxLayout;
    statusRow->setSpacing(8);
    m_symbol = new QKSymbol(QString(), QKFont{.style = TextStyle::Title3}, this);
    statusRow->addWidget(m_symbol, 0, Qt::AlignVCenter);
    m_status =
        QKBuild::label(QString(), TextStyle::Title3, QKForeground::Primary, this, QFont::DemiBold);
    m_status->setObjectName(QStringLiteral("statusText"));
    statusRow->addWidget(m_status, 1, Qt::AlignVCenter);
    column->addLayout(statusRow);

    m_count = QKBuild::label(QString(), TextStyle::Callout, QKForeground::Secondary, this);
    m_count->setObjectName(QStringLiteral("countLine"));
    column->addWidget(m_count);
    m_lastChecked = QKBuild::label(QString(), TextStyle::Caption, QKForeground::Tertiary, this);
    m_lastChecked->setObjectName(QStringLiteral("lastChecked"));
    m_lastChecked->hide();
    column->addWidget(m_lastChecked);
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
