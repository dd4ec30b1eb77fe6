#include "shell/AppVersion.h"

#include "BuildInfo.h"

namespace AppVersion {

QString versionOrFallback(const QString& stored) {
    return stored.isEmpty() ? QStringLiteral("0.2.0") : stored;
}

QString buildOrFallback(const QString& stored) {
    return stored.isEmpty() ? QStringLiteral("1") : stored;
}

QString appVersionString() {
    return versionOrFallback(QString::fromUtf8(BuildInfo::version));
}

QString appBuildString() {
    return buildOrFallback(QString::fromUtf8(BuildInfo::build));
}

} // namespace AppVersion
