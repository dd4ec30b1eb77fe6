#include "shell/views/AboutView.h"

#include "shell/AppVersion.h"
#include "shell/views/AppIconView.h"
#include "shell/views/ThemePicker.h"
#include "ui-kit/AIPrivacyCard.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

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
    auto* column = QKBuild::insetColumn(box, {0, 0, 0, 0}, 6);
    auto* heading = text(title, box);
    QKFont::apply(heading, TextStyle::Subheadline, QFont::DemiBold);
    QKForeground::apply(heading, QKForeground::Secondary);
    column->addWidget(heading);
    auto* card = new QKCardSurface(8, false, box);
    auto* inside = new QVBoxLayout(card);
    inside->setContentsMargins(padding, padding, padding, padding);
    inside->addWidget(content);
    column->addWidget(card);
    return box;
}

} // namespace

AboutView::AboutView(QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("aboutView"));
    setWindowTitle(QStringLiteral("About"));
    QKBuild::plainScroll(this);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    auto* page = new QWidget;
    page->setAutoFillBackground(false);
    auto* outer = new QHBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* columnHost = new QWidget(page);
    columnHost->setMaximumWidth(kMaxWidth);
    auto* column = QKBuild::insetColumn(columnHost, {20, 20, 20, 20}, 20);
    outer->addWidget(columnHost, 1);
    outer->addStretch(0);

    auto* header = new QHBoxLayout;
    header->setSpacing(14);
    header->addWidget(new AppIconView(64, 14, 0.18, columnHost), 0, Qt::AlignVCenter);
    auto* names = new QVBoxLayout;
    names->setSpacing(2);
    auto* name = text(QStringLiteral("Pendrel"), columnHost);
    name->setObjectName(QStringLiteral("aboutName"));
    QKFont::apply(name, TextStyle::Title, QFont::Bold);
    auto* version = text(QStringLiteral("Version %1 (%2)")
                             .arg(AppVersion::appVersionString(), AppVersion::appBuildString()),
                         columnHost);
    version->setObjectName(QStringLiteral("aboutVersion"));
    QKFont::apply(version, TextStyle::Caption);
    QKForeground::apply(version, QKForeground::Secondary);
    names->addWidget(name);
    names->addWidget(version);
    header->addLayout(names);
    header->addStretch(1);
    column->addLayout(header);

    auto* tagline = text(QStringLiteral("The operating intelligence layer for your Mac. Pendrel "
                                        "understands, explains, predicts and improves — so you "
                                        "never need technical knowledge."),
                         columnHost);
    tagline->setObjectName(QStringLiteral("aboutTagline"));
    tagline->setWordWrap(true);
    QKForeground::apply(tagline, QKForeground::Secondary);
    column->addWidget(tagline);

    column->addWidget(
        groupBox(QStringLiteral("Appearance"), new ThemePicker(columnHost), 12, columnHost));
    column->addWidget(groupBox(QStringLiteral("Privacy and AI"), new AIPrivacyCard, 0, columnHost));
    column->addStretch(1);

    setWidget(page);
    page->setAutoFillBackground(false); // setWidget turns it on; the card's background shows
}
