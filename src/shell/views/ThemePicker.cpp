#include "shell/views/ThemePicker.h"

#include "platform/SymbolName.h"
#include "platform/UserDefaults.h"
#include "shell/ThemePickerText.h"
#include "shell/views/AccentSwatch.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/TextSize.h"
#include "ui-kit/ThemeSettings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// The leading label of a row.
QLabel* rowLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QStringList appearanceTitles() {
    QStringList names;
    for (AppAppearance a : allCases<AppAppearance>())
        names.append(title(a));
    return names;
}

} // namespace

ThemePicker::ThemePicker(QWidget* parent) : ThemePicker(UserDefaults::standard(), parent) {}

ThemePicker::ThemePicker(UserDefaults& defaults, QWidget* parent)
    : QWidget(parent), m_defaults(defaults) {
    setObjectName(QStringLiteral("themePicker"));
    using namespace QKLayout;
    QKIconLabel* saveError = nullptr;
    column({0, 0, 0, 0}, 14,
           {
               row(10, {rowLabel(ThemePickerText::appearanceLabel(), this),
                        part(m_appearance = new SegmentedControl(appearanceTitles(), this))
                            .name(QStringLiteral("themeAppearance"))
                            .accessibleName(ThemePickerText::appearanceLabel()),
                        stretch(1)}),
               accentRow(),
               // The note may wrap at large sizes; the label then stays level with its first
               // line.
               row(6, {part(rowLabel(ThemePickerText::textSizeLabel(), this)).align(Qt::AlignTop),
                       part(m_textSizeNote = new QLabel(this))
                           .name(QStringLiteral("textSizeNote"))
                           .with([](QLabel* l) {
                               l->setTextFormat(Qt::PlainText);
                               l->setWordWrap(true);
                               l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                           })
                           .font(TextStyle::Caption)
                           .ink(QKForeground::Secondary)
                           .stretch(1)}),
               // A choice the settings file could not keep: the control shows the stored value
               // again (through changed()) and this line says why.
               part(saveError = new QKIconLabel("exclamationmark.triangle"_sym, QString(),
                                                QKFont{.style = TextStyle::Caption},
                                                QKForeground::Orange, this))
                   .name(QStringLiteral("themeSaveError"))
                   .with([](QWidget* w) { w->hide(); }),
           })
        .on(this);

    connect(m_appearance, &SegmentedControl::activated, this, [this](int index) {
        const QList<AppAppearance>& all = allCases<AppAppearance>();
        if (index >= 0 && index < all.size())
            m_defaults.setValue(ThemeKeys::Appearance, rawValue(all.at(index)));
    });
    connect(&m_defaults, &UserDefaults::changed, this, [this, saveError](const QString& key) {
        if (key == ThemeKeys::Appearance || key == ThemeKeys::Accent) {
            saveError->hide();
            sync();
        } else if (key == ThemeKeys::FontSize) {
            sync();
        }
    });
    connect(&m_defaults, &UserDefaults::saveFailed, this,
            [saveError](const QString& key, const QString& message) {
                if (key != ThemeKeys::Appearance && key != ThemeKeys::Accent)
                    return;
                saveError->setText(message);
                saveError->show();
            });
    sync();
}

QKLayout::Box ThemePicker::accentRow() {
    using namespace QKLayout;
    Box accents =
        row(10, {part(rowLabel(ThemePickerText::accentLabel(), this)).align(Qt::AlignVCenter)});
    for (AccentChoice accent : allCases<AccentChoice>()) {
        auto* swatch = new AccentSwatch(accent, this);
        connect(swatch, &AccentSwatch::clicked, this,
                [this, accent] { m_defaults.setValue(ThemeKeys::Accent, rawValue(accent)); });
        m_swatches.append(swatch);
        accents.add(part(swatch).align(Qt::AlignVCenter));
    }
    accents.add(stretch(1));
    return accents;
}

void ThemePicker::sync() {
    const QString appearance =
        m_defaults.stringValue(ThemeKeys::Appearance).value_or(rawValue(AppAppearance::System));
    const std::optional<AppAppearance> chosen = fromRawValue<AppAppearance>(appearance);
    m_appearance->setCurrentIndex(chosen ? int(allCases<AppAppearance>().indexOf(*chosen)) : -1);

    const QString accent =
        m_defaults.stringValue(ThemeKeys::Accent).value_or(rawValue(AccentChoice::Blue));
    for (AccentSwatch* swatch : m_swatches)
        swatch->setRinged(rawValue(swatch->accent()) == accent);

    m_textSizeNote->setText(
        ThemePickerText::textSizeNote(TextSize::name(TextSize::rawStep(m_defaults))));
}
