#include "ui-kit/TextSize.h"

#include "platform/UserDefaults.h"
#include "ui-kit/ThemeSettings.h"

#include <algorithm>

namespace TextSize {

bool isValidStep(qint64 step) {
    return step >= Smallest && step <= Largest;
}

qint64 nearestStep(qint64 step) {
    return std::clamp<qint64>(step, Smallest, Largest);
}

qreal scale(qint64 step) {
    static constexpr qreal kScales[] = {0.85, 0.92, 1.0, 1.18, 1.35};
    return kScales[nearestStep(step)];
}

QString name(qint64 step) {
    switch (nearestStep(step)) {
    case 0:
        return QStringLiteral("Small");
    case 1:
        return QStringLiteral("Slightly smaller");
    case 3:
        return QStringLiteral("Bigger");
    case 4:
        return QStringLiteral("Biggest");
    default:
        return QStringLiteral("Normal");
    }
}

qint64 rawStep(const UserDefaults& defaults) {
    return nearestStep(defaults.integerValue(ThemeKeys::FontSize).value_or(Normal));
}

int biggerCommandStep(int setting) {
    return std::min(setting, 3) + 1;
}
int smallerCommandStep(int setting) {
    return setting < 2 ? 0 : setting - 1;
}

} // namespace TextSize

int fontSizeSetting(const UserDefaults& defaults) {
    return int(TextSize::rawStep(defaults));
}

int fontSizeSetting() {
    return fontSizeSetting(UserDefaults::standard());
}
