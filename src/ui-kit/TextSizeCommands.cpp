#include "ui-kit/TextSizeCommands.h"

#include "platform/UserDefaults.h"
#include "ui-kit/TextSize.h"
#include "ui-kit/ThemeSettings.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

TextSizeCommands::TextSizeCommands(QObject* parent)
    : TextSizeCommands(UserDefaults::standard(), parent) {}

TextSizeCommands::TextSizeCommands(UserDefaults& defaults, QObject* parent)
    : QObject(parent), m_defaults(defaults) {
    auto make = [this](const QString& title, const QList<QKeySequence>& keys, auto step) {
        auto* action = new QAction(title, this);
        action->setObjectName(title);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::ApplicationShortcut);
        connect(action, &QAction::triggered, this, [this, step] {
            m_defaults.setValue(ThemeKeys::FontSize, qint64(step(fontSizeSetting(m_defaults))));
        });
        return action;
    };
    m_bigger =
        make(QStringLiteral("Bigger Text"),
             {QKeySequence(QStringLiteral("Ctrl++")), QKeySequence(QStringLiteral("Ctrl+="))},
             [](int s) { return TextSize::biggerCommandStep(s); });
    m_smaller = make(QStringLiteral("Smaller Text"), {QKeySequence(QStringLiteral("Ctrl+-"))},
                     [](int s) { return TextSize::smallerCommandStep(s); });
    m_normal = make(QStringLiteral("Normal Text Size"), {QKeySequence(QStringLiteral("Ctrl+0"))},
                    [](int) { return TextSize::Normal; });
}

void TextSizeCommands::addTo(QMenu* menu) {
    menu->addAction(m_bigger);
    menu->addAction(m_smaller);
    menu->addAction(m_normal);
    menu->addSeparator();
}

void TextSizeCommands::attachTo(QWidget* window) {
    if (window)
        window->addActions({m_bigger, m_smaller, m_normal});
}
