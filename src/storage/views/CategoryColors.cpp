#include "storage/views/CategoryColors.h"

#include "ui-kit/Color.h"

#include <array>

namespace {

constexpr std::array<const char16_t*, 7> kHex = {u"3B7DDD", u"2E9E6B", u"8B5CF6", u"E0952A",
                                                 u"14A3A3", u"D94F7A", u"9AA3AD"};

} // namespace

namespace CategoryColors {

QColor color(DiskMapCategory category) {
    const auto index = size_t(category);
    return index < kHex.size() ? Color::hex(QStringView(kHex[index])) : QColor(Qt::gray);
}

QColor color(ContentCategory category) {
    return color(static_cast<DiskMapCategory>(static_cast<int>(category)));
}

} // namespace CategoryColors
