#include "platform/AppBundle.h"

#include "platform/PropertyList.h"

#include <QFileInfo>
#include <QSet>

namespace AppBundle {

QString infoPlistPath(const QString& bundlePath) {
    for (const char* relative : {"/Contents/Info.plist", "/Info.plist"}) {
        const QString candidate = bundlePath + QLatin1String(relative);
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

std::optional<QString> identifier(const QString& bundlePath) {
    if (!QFileInfo(bundlePath).isDir())
        return std::nullopt;
    const QString plist = infoPlistPath(bundlePath);
    if (plist.isEmpty())
        return std::nullopt;
    const std::optional<QVariantMap> info = PropertyList::readDictionary(plist);
    if (!info)
        return std::nullopt;
    const QVariant value = info->value(QStringLiteral("CFBundleIdentifier"));
    if (value.typeId() != QMetaType::QString || value.toString().isEmpty())
        return std::nullopt;
    return value.toString();
}

QString iconFile(const QString& bundlePath) {
    const QString plist = infoPlistPath(bundlePath);
    if (plist.isEmpty())
        return {};
    const std::optional<QVariantMap> info = PropertyList::readDictionary(plist);
    if (!info)
        return {};
    const QVariant value = info->value(QStringLiteral("CFBundleIconFile"));
    if (value.typeId() != QMetaType::QString)
        return {};
    const QString name = value.toString();
    // A name, never a path: the icon must lie inside the bundle's resources.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String("..") ||
        name == QLatin1String("."))
        return {};
    const QString resources = plist.endsWith(QLatin1String("/Contents/Info.plist"))
                                  ? bundlePath + QStringLiteral("/Contents/Resources/")
                                  : bundlePath + QLatin1Char('/');
    for (const QString& candidate :
         {name, name + QStringLiteral(".png"), name + QStringLiteral(".svg"),
          name + QStringLiteral(".icns")}) {
        if (QFileInfo(resources + candidate).isFile())
            return resources + candidate;
    }
    return {};
}

bool isPackageName(const QString& folderName) {
    static const QSet<QString> extensions = {
        QStringLiteral("app"),         QStringLiteral("appex"),      QStringLiteral("bundle"),
        QStringLiteral("plugin"),      QStringLiteral("kext"),       QStringLiteral("xpc"),
        QStringLiteral("qlgenerator"), QStringLiteral("mdimporter"), QStringLiteral("prefpane"),
        QStringLiteral("saver"),       QStringLiteral("component"),  QStringLiteral("wdgt"),
        QStringLiteral("rtfd"),        QStringLiteral("pkg"),        QStringLiteral("mpkg"),
    };
    const qsizetype dot = folderName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == folderName.size() - 1)
        return false;
    return extensions.contains(folderName.mid(dot + 1).toLower());
}

QString enclosingBundle(const QString& path) {
    QString p = path;
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    qsizetype end = p.size();
    while (end > 0) {
        const qsizetype slash = p.lastIndexOf(QLatin1Char('/'), end - 1);
        const QString component = p.mid(slash + 1, end - slash - 1);
        if (component.size() > 4 && component.endsWith(QLatin1String(".app")))
            return p.left(end);
        if (slash < 0)
            break;
        end = slash;
    }
    return {};
}

} // namespace AppBundle
