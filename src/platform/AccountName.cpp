#include "platform/AccountName.h"

#include <cerrno>
#include <pwd.h>
#include <unistd.h>
#include <vector>

QString PasswdAccountName::fullName() const {
    long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size_t(hint > 0 ? hint : 4096));
    passwd entry{};
    passwd* found = nullptr;
    // The buffer grows for entries that do not fit; anything else means no name to show.
    while (true) {
        const int error = getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found);
        if (error == ERANGE && buffer.size() < (size_t(1) << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (error != 0 || !found)
            return {};
        break;
    }
    return fromGecos(QByteArray(found->pw_gecos ? found->pw_gecos : ""),
                     QByteArray(found->pw_name ? found->pw_name : ""));
}

QString PasswdAccountName::fromGecos(const QByteArray& gecos, const QByteArray& login) {
    const qsizetype comma = gecos.indexOf(',');
    const QString name = QString::fromUtf8(comma >= 0 ? gecos.left(comma) : gecos);
    if (!name.contains(QLatin1Char('&')))
        return name;
    QString user = QString::fromUtf8(login);
    if (!user.isEmpty())
        user[0] = user.at(0).toUpper();
    QString out = name;
    return out.replace(QLatin1Char('&'), user);
}
