#include "ui-kit/QKBusyPage.h"

#include "ui-kit/QKBuild.h"
#include "ui-kit/QKSpinner.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace {

QWidget* makeIndicator(QKBusyLook::Indicator kind, QWidget* page) {
    if (kind == QKBusyLook::Indicator::Bar) {
        auto* bar = new QProgressBar(page);
        bar->setRange(0, 0); // busy: no known amount
        bar->setTextVisible(false);
        bar->setFixedWidth(160);
        bar->setMaximumHeight(8);
        return bar;
    }
    auto* spinner = new QKSpinner(page);
    if (kind == QKBusyLook::Indicator::LargeSpinner) {
        QKFont::apply(spinner, TextStyle::Title2);
        QKForeground::apply(spinner, QKForeground::Secondary);
    }
    return spinner;
}

} // namespace

QKBusyPage::QKBusyPage(const QString& text, QKBusyLook look, QWidget* parent) : QWidget(parent) {
    m_column = new QVBoxLayout(this);
    if (look.margins)
        m_column->setContentsMargins(*look.margins);
    if (look.spacing >= 0)
        m_column->setSpacing(look.spacing);
    if (!look.top)
        m_column->addStretch(1);
    m_indicator = makeIndicator(look.indicator, this);
    m_indicator->setObjectName(QStringLiteral("busyIndicator"));
    m_line = QKBuild::label(text, look.style, look.tone, this, std::nullopt, look.wrap);
    if (look.beside) {
        auto* row = new QHBoxLayout;
        row->addStretch(1);
        row->addWidget(m_indicator);
        if (look.gap > 0)
            row->addSpacing(look.gap);
        row->addWidget(m_line);
        row->addStretch(1);
        m_column->addLayout(row);
    } else {
        m_column->addWidget(m_indicator, 0, Qt::AlignHCenter);
        if (look.gap > 0)
            m_column->addSpacing(look.gap);
        if (look.wrap) {
            m_line->setAlignment(Qt::AlignHCenter);
            m_column->addWidget(m_line);
        } else {
            m_column->addWidget(m_line, 0, Qt::AlignHCenter);
        }
    }
    m_column->addStretch(1);
}

QKBusyPage* QKBusyPage::reading(const QString& text, QWidget* parent) {
    auto* page = new QKBusyPage(text, {.indicator = QKBusyLook::Indicator::Bar}, parent);
    page->setObjectName(QStringLiteral("readingProgress"));
    page->line()->setObjectName(QStringLiteral("readingText"));
    return page;
}

void QKBusyPage::setText(const QString& text) {
    m_line->setText(text);
}

QLabel* QKBusyPage::addLine(const QString& text, TextStyle style, QKForeground::Style tone) {
    QLabel* label = QKBuild::label(text, style, tone, this, std::nullopt, false);
    addPart(label);
    return label;
}

void QKBusyPage::addPart(QWidget* part, Qt::Alignment alignment) {
    // Before the closing stretch, so the whole column stays centred.
    m_column->insertWidget(m_column->count() - 1, part, 0, alignment);
}
