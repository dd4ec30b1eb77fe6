#include "duplicates/views/BestQualityLabel.h"

#include "duplicates/DuplicatesText.h"
#include "platform/SymbolIcons.h"
#include "platform/SymbolName.h"
#include "ui-kit/Color.h"
#include "ui-kit/QKLayout.h"

#include <QEvent>
#include <QLabel>

BestQualityLabel::BestQualityLabel(TextStyle style, QWidget* parent)
    : QWidget(parent), m_style(style) {
    setObjectName(QStringLiteral("bestQuality"));
    using namespace QKLayout;
    row({0, 0, 0, 0}, 4,
        {part(m_star = new QLabel(this)),
         part(m_text = new QLabel(DuplicatesText::bestQuality(), this)).font(style, QFont::Bold),
         stretch(1)})
        .on(this);
    recolor();
}

void BestQualityLabel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange ||
        event->type() == QEvent::ParentChange)
        recolor();
}

void BestQualityLabel::recolor() {
    if (m_recoloring)
        return;
    m_recoloring = true;
    const bool dark = Color::isDark(parentWidget() ? parentWidget()->palette() : palette());
    const QColor yellow = dark ? QColor(0xFF, 0xD6, 0x0A) : QColor(0xB8, 0x86, 0x00);
    QPalette pal = m_text->palette();
    pal.setColor(QPalette::WindowText, yellow);
    m_text->setPalette(pal);
    const int edge = QFontMetrics(m_text->font()).height() - 2;
    m_star->setPixmap(
        SymbolIcons::pixmap("star.fill"_sym, QSize(edge, edge), yellow, devicePixelRatioF()));
    m_recoloring = false;
}
