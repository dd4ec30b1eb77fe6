#include "shell/views/ThemePicker.h"

#include "platform/SymbolName.h"
#include "platform/UserDefaults.h"
#include "shell/views/AccentSwatch.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKIconLabel.h"
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

} // namespace

ThemePicker::ThemePicker(QWidget* parent) : ThemePicker(UserDefaults::standard(), parent) {}

ThemePicker::ThemePicker(UserDefaults& defaults, QWidget* parent)
    : QWidget(parent), m_defaults(defaults) {
    setObjectName(QStringLiteral("themePicker"));
    auto* column = QKBuild::insetColumn(this, {0, 0, 0, 0}, 14);

    auto* appearanceRow = new QHBoxLayout;
    appearanceRow->setSpacing(10);
    appearanceRow->addWidget(rowLabel(QStringLiteral("Appearance"), this));
    QStringList names;
    for (AppAppearance a : allCases<AppAppearance>())
        names.append(title(a));
    m_appearance = new SegmentedControl(names, this);
    m_appearance->setAccessibleName(QStringLiteral("Appearance"));
    appearanceRow->addWidget(m_appearance);
    appearanceRow->addStretch(1);
    column->addLayout(appearanceRow);
    connect(m_appearance, &SegmentedControl::activated, this, [this](int index) {
        const QList<AppAppearance>& all = allCases<AppAppearance>();
        if (index >= 0 && index < all.size())
            m_defaults.setValue(ThemeKeys::Appearance, rawValue(all.at(index)));
    });

    auto* accentRow = new QHBoxLayout;
    accentRow->setSpacing(10);
    accentRow->addWidget(rowLabel(QStringLiteral("Accent"), this), 0, Qt::AlignVCenter);
    for (AccentChoice accent : allCases<AccentChoice>()) {
        auto* swatch = new AccentSwatch(accent, this);
        connect(swatch, &AccentSwatch::clicked, this,
                [this, accent] { m_defaults.setValue(ThemeKeys::Accent, rawValue(accent)); });
        m_swatches.append(swatch);
        accentRow->addWidget(swatch, 0, Qt::AlignVCenter);
    }
    accentRow->addStretch(1);
    column->addLayout(accentRow);

    auto* sizeRow = new QHBoxLayout;
    sizeRow->setSpacing(6);
    // The note may wrap at large sizes; the label then stays level with its first line.
    sizeRow->addWidget(rowLabel(QStringLiteral("Text size"), this), 0, Qt::AlignTop);
    m_textSizeNote = new QLabel(this);
    m_textSizeNote->setObjectName(QStringLiteral("textSizeNote"));
    m_textSizeNote->setTextFormat(Qt::PlainText);
    m_textSizeNote->setWordWrap(true);
    QKFont::apply(m_textSizeNote, TextStyle::Caption);
    QKForeground::apply(m_textSizeNote, QKForeground::Secondary);
    m_textSizeNote->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    sizeRow->addWidget(m_textSizeNote, 1);
    column->addLayout(sizeRow);

    // A choice the settings file could not keep: the control shows the stored value again
    // (through changed()) and this line says why.
    auto* saveError =
        new QKIconLabel("exclamationmark.triangle"_sym, QString(),
                        QKFont{.style = TextStyle::Caption}, QKForeground::Orange, this);
    saveError->setObjectName(QStringLiteral("themeSaveError"));
    saveError->hide();
    column->addWidget(saveError);

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

void ThemePicker::sync() {
    const QString appearance =
        m_defaults.stringValue(ThemeKeys::Appearance).value_or(QStringLiteral("Match macOS"));
    const std::optional<AppAppearance> chosen = fromRawValue<AppAppearance>(appearance);
    m_appearance->setCurrentIndex(chosen ? int(allCases<AppAppearance>().indexOf(*chosen)) : -1);

    const QString accent =
        m_defaults.stringValue(ThemeKeys::Accent).value_or(QStringLiteral("Blue"));
    for (AccentSwatch* swatch : m_swatches)
        swatch->setRinged(rawValue(swatch->accent()) == accent);

    m_textSizeNote->setText(QStringLiteral("set at the bottom of the sidebar, currently ") +
                            TextSize::name(TextSize::rawStep(m_defaults)).toLower());
}
