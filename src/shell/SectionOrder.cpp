#include "shell/SectionOrder.h"

#include "platform/UserDefaults.h"
#include "shell/QKFeature.h"

QStringList sectionOrder(const QString& stored) {
    QStringList order;
    for (const QString& piece : stored.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QKFeature* feature = QKFeature::lookup(piece);
        if (!feature)
            feature = QKFeature::resolve(piece);
        if (feature && !order.contains(feature->id))
            order.append(feature->id);
    }
    for (const QKFeature& feature : QKFeature::all()) {
        if (!order.contains(feature.id))
            order.append(feature.id);
    }
    return order;
}

QStringList sectionOrder(const UserDefaults& defaults) {
    return sectionOrder(defaults.stringValue(kSidebarOrderKey).value_or(QString()));
}
