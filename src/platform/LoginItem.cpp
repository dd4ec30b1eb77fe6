#include "platform/LoginItem.h"

#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

AutostartLoginItem::AutostartLoginItem(QString autostartDir, QString executable)
    : m_dir(std::move(autostartDir)), m_exec(std::move(executable)) {}

QString AutostartLoginItem::filePath() const {
    return m_dir + QStringLiteral("/pendrel.desktop");
}

LoginItemService::Status AutostartLoginItem::status() const {
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly))
        return Status::NotRegistered;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray& raw : lines) {
        const QByteArray line = raw.trimmed();
        if (line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false")
            return Status::NotRegistered;
    }
    return Status::Enabled;
}

QByteArray AutostartLoginItem::desktopEntry(const QString& executable) {
    QString exec = executable;
    // Desktop-entry quoting: a path with spaces or specials goes in double quotes.
    if (exec.contains(QRegularExpression(QStringLiteral("[\\s\"'\\\\$`]")))) {
        exec.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        exec.replace(QLatin1Char('"'), QStringLiteral("\\\""));
        exec.replace(QLatin1Char('$'), QStringLiteral("\\$"));
        exec.replace(QLatin1Char('`'), QStringLiteral("\\`"));
        exec = QLatin1Char('"') + exec + QLatin1Char('"');
    }
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Pendrel\n"
                          "Comment=Explains what your computer is doing and keeps it in order\n"
                          "Exec=%1\n"
                          "Icon=pendrel\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(exec)
        .toUtf8();
}

bool AutostartLoginItem::registerItem(QString* error) {
    return AtomicFile::write(filePath(), desktopEntry(m_exec), error);
}

bool AutostartLoginItem::unregisterItem(QString* error) {
    QFile file(filePath());
    if (!file.exists())
        return true;
    if (!file.remove()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
