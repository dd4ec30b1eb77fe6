#include "platform/KernelFiles.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace KernelFiles {

std::optional<QByteArray> read(const QString& path, qsizetype maxBytes) {
    const QByteArray native = path.toLocal8Bit();
    int fd;
    do {
        fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    QByteArray data;
    char buffer[4096];
    bool failed = false;
    while (data.size() < maxBytes) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            // EAGAIN included: a file that would make us wait is no reading.
            failed = true;
            break;
        }
        if (n == 0)
            break;
        data.append(buffer, std::min<qsizetype>(n, maxBytes - data.size()));
    }
    ::close(fd);
    if (failed)
        return std::nullopt;
    return data;
}

std::optional<QByteArray> readLine(const QString& path) {
    auto data = read(path, 4096);
    if (!data)
        return std::nullopt;
    const qsizetype newline = data->indexOf('\n');
    if (newline >= 0)
        data->truncate(newline);
    return data->trimmed();
}

std::optional<qint64> readInteger(const QString& path) {
    const auto line = readLine(path);
    if (!line || line->isEmpty())
        return std::nullopt;
    bool ok = false;
    const qint64 value = line->toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<qint64> readInteger(const QString& path, qint64 min, qint64 max) {
    const auto value = readInteger(path);
    if (!value || *value < min || *value > max)
        return std::nullopt;
    return value;
}

QStringList listDir(const QString& path) {
    QStringList names;
    DIR* dir = ::opendir(path.toLocal8Bit().constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        names.append(QString::fromLocal8Bit(name));
    }
    ::closedir(dir);
    return names;
}

void sortNatural(QStringList& names) {
    // Split into the text before the trailing number and the number itself.
    auto key = [](const QString& s) {
        qsizetype i = s.size();
        while (i > 0 && s.at(i - 1).isDigit())
            --i;
        bool ok = false;
        const qulonglong number = s.mid(i).toULongLong(&ok);
        return std::make_pair(s.left(i), ok ? number : 0ULL);
    };
    std::stable_sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        const auto ka = key(a), kb = key(b);
        if (ka.first != kb.first)
            return ka.first < kb.first;
        if (ka.second != kb.second)
            return ka.second < kb.second;
        return a < b;
    });
}

QList<ClassFolder> classFolders(const QString& sysRoot, QLatin1String className) {
    const QString base = sysRoot + QStringLiteral("/class/") + className + QLatin1Char('/');
    QStringList names = listDir(base);
    sortNatural(names);
    QList<ClassFolder> folders;
    folders.reserve(names.size());
    for (const QString& name : names)
        folders.append({name, base + name + QLatin1Char('/')});
    return folders;
}

} // namespace KernelFiles
