#include "shell/views/AboutView.h"

#include "shell/AboutText.h"
#include "shell/AppVersion.h"
#include "shell/views/AppIconView.h"
#include "shell/views/ThemePicker.h"
#include "ui-kit/AIPrivacyCard.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKLayout.h"

#include <QLabel>

namespace {

QLabel* text(const QString& s, QWidget* parent) {
    auto* label = new QLabel(s, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// A titled box stretched to the full width: the title above a flat card holding the content.
QWidget* groupBox(const QString& title, QWidget* content, int padding, QWidget* parent) {
    auto* box = new QWidget(parent);
    box->setObjectName(QStringLiteral("group-") + title);
    using namespace QKLayout;
    QKCardSurface* card = nullptr;
    column({0, 0, 0, 0}, 6,
           {part(text(title, box))
                .font(TextStyle::Subheadline, QFont::DemiBold)
                .ink(QKForeground::Secondary),
            part(card = new QKCardSurface(8, false, box))})
        .on(box);
    column({padding, padding, padding, padding}, 0, {content}).on(card);
    return box;
}

} // namespace

AboutView::AboutView(QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("aboutView"));
    setWindowTitle(AboutText::windowTitle());
    setAccessibleName(windowTitle());
    QKBuild::plainScroll(this);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    auto* page = new QWidget;
    page->setAutoFillBackground(false);
    using namespace QKLayout;
    QWidget* columnHost = nullptr;
    flushRow({part(columnHost = new QWidget(page))
                  .with([](QWidget* host) { host->setMaximumWidth(kMaxWidth); })
                  .stretch(1),
              stretch(0)})
        .on(page);
    column({20, 20, 20, 20}, 20,
           {
               row(14, {part(new AppIconView(64, 14, 0.18, columnHost)).align(Qt::AlignVCenter),
                        column(2, {part(text(AboutText::appName(), columnHost))
                                       .name(QStringLiteral("aboutName"))
                                       .font(TextStyle::Title, QFont::Bold),
                                   part(text(AboutText::versionLine(AppVersion::appVersionString(),
                                                                    AppVersion::appBuildString()),
                                             columnHost))
                                       .name(QStringLiteral("aboutVersion"))
                                       .font(TextStyle::Caption)
                                       .ink(QKForeground::Secondary)}),
                        stretch(1)}),
               part(text(AboutText::tagline(), columnHost))
                   .name(QStringLiteral("aboutTagline"))
                   .with([](QLabel* l) { l->setWordWrap(true); })
                   .ink(QKForeground::Secondary),
               groupBox(AboutText::appearanceTitle(), new ThemePicker(columnHost), 12, columnHost),
               groupBox(AboutText::privacyTitle(), new AIPrivacyCard, 0, columnHost),
               stretch(1),
           })
        .on(columnHost);

    setWidget(page);
    page->setAutoFillBackground(false); // setWidget turns it on; the card's background shows
}
