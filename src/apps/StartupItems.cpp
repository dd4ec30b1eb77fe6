#include "apps/StartupItems.h"

#include "apps/StartupItemsText.h"
#include "platform/DesktopEntry.h"
#include "platform/Trash.h"
#include "platform/UnitFile.h"

#include <algorithm>
#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

// The home-relative places of the other platform's launch agents, mapped by HomeLayout.
const QString kUserAgents = QStringLiteral("Library/LaunchAgents");
const QString kDisabledName = QStringLiteral(".corvanto-disabled");
const QString kDesktopSuffix = QStringLiteral("desktop");

const QStringList& unitSuffixes() {
    static const QStringList suffixes = {
        QStringLiteral(".service"), QStringLiteral(".socket"), QStringLiteral(".timer"),
        QStringLiteral(".path"),    QStringLiteral(".mount"),  QStringLiteral(".automount"),
        QStringLiteral(".swap"),    QStringLiteral(".target"), QStringLiteral(".slice"),
        QStringLiteral(".scope"),   QStringLiteral(".device")};
    return suffixes;
}

bool isUnitName(const QString& name) {
    return std::any_of(unitSuffixes().cbegin(), unitSuffixes().cend(), [&](const QString& s) {
        return name.size() > s.size() && name.endsWith(s);
    });
}

// The entries directly inside a folder, hidden ones passed over, in name order; empty when the
// folder is missing or unreadable. Broken links and other special files are listed too: they
// are the caller's to judge.
QFileInfoList listFolder(const QString& folder) {
    return QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                                      QDir::Name);
}

StartupItem desktopRecord(const QFileInfo& entry, const QString& scope, bool userWritable,
                          bool disabled, const QString& locale) {
    StartupItem item;
    item.id = QUuid::createUuid();
    item.plistURL = QUrl::fromLocalFile(entry.absoluteFilePath());
    item.scope = scope;
    item.userWritable = userWritable;
    item.disabled = disabled;
    const QString main = QLatin1String(DesktopEntry::MainGroup);
    const std::optional<DesktopEntry> parsed = DesktopEntry::readFile(entry.absoluteFilePath());
    if (parsed && parsed->isValid()) {
        const std::optional<QString> name =
            parsed->localeString(main, QStringLiteral("Name"), locale);
        item.label = name ? *name : entry.fileName().chopped(kDesktopSuffix.size() + 1);
        item.program = parsed->program();
        item.inactive = !parsed->autostarts();
    } else {
        item.label = entry.fileName().chopped(kDesktopSuffix.size() + 1);
    }
    return item;
}

// Autostart entries of one folder: files whose extension is "desktop", exactly.
QList<StartupItem> desktopRecords(const QString& folder, const QString& scope, bool userWritable,
                                  bool disabled, const QString& locale) {
    QList<StartupItem> out;
    for (const QFileInfo& entry : listFolder(folder)) {
        if (entry.suffix() != kDesktopSuffix || entry.fileName() == QLatin1String(".desktop"))
            continue;
        out.append(desktopRecord(entry, scope, userWritable, disabled, locale));
    }
    return out;
}

bool linksToNull(const QFileInfo& info) {
    return info.isSymLink() && info.symLinkTarget() == QLatin1String("/dev/null");
}

// The file that defines a unit: where its link leads, else the first unit folder that has it,
// else its template ("getty@.service" for "getty@tty1.service").
QString unitFileFor(const QFileInfo& link, const QStringList& unitDirs) {
    if (link.isSymLink()) {
        const QString target = link.symLinkTarget();
        if (QFileInfo(target).isFile())
            return target;
    } else if (link.isFile()) {
        return link.absoluteFilePath();
    }
    QStringList names{link.fileName()};
    const QString name = link.fileName();
    const qsizetype at = name.indexOf(QLatin1Char('@'));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (at > 0 && dot > at)
        names << name.left(at + 1) + name.mid(dot);
    for (const QString& candidate : std::as_const(names)) {
        for (const QString& dir : unitDirs) {
            const QString path = dir + QLatin1Char('/') + candidate;
            if (QFileInfo(path).isFile())
                return path;
        }
    }
    return {};
}

QList<StartupItem> enabledUnits(const StartupItems::Deps& roots) {
    QList<StartupItem> out;
    if (roots.systemdConfigDir.isEmpty())
        return out;
    QSet<QString> seen;
    for (const QFileInfo& wants : listFolder(roots.systemdConfigDir)) {
        const QString dirName = wants.fileName();
        if (!wants.isDir() || !(dirName.endsWith(QLatin1String(".wants")) ||
                                dirName.endsWith(QLatin1String(".requires"))))
            continue;
        for (const QFileInfo& link : listFolder(wants.absoluteFilePath())) {
            const QString unitName = link.fileName();
            if (!isUnitName(unitName) || seen.contains(unitName))
                continue;
            seen.insert(unitName);
            StartupItem item;
            item.id = QUuid::createUuid();
            item.scope = StartupItemsText::system();
            const QString file = unitFileFor(link, roots.systemdUnitDirs);
            item.plistURL = QUrl::fromLocalFile(file.isEmpty() ? link.absoluteFilePath() : file);
            item.inactive =
                linksToNull(link) ||
                linksToNull(QFileInfo(roots.systemdConfigDir + QLatin1Char('/') + unitName));
            item.label = unitName.left(unitName.lastIndexOf(QLatin1Char('.')));
            if (const std::optional<UnitFile> unit =
                    file.isEmpty() ? std::nullopt : UnitFile::readFile(file)) {
                if (const std::optional<QString> d = unit->description())
                    item.label = UnitFile::expandSpecifiers(*d, unitName);
                item.program = unit->program();
            }
            out.append(item);
        }
    }
    return out;
}

} // namespace

StartupItems::Deps StartupItems::Deps::system(const QByteArray& xdgConfigDirs) {
    Deps deps;
    for (const QByteArray& dir : xdgConfigDirs.split(':')) {
        // Only absolute folders count, as the base directory rules say.
        if (dir.startsWith('/'))
            deps.systemAutostartDirs << QString::fromLocal8Bit(dir) + QStringLiteral("/autostart");
    }
    if (deps.systemAutostartDirs.isEmpty())
        deps.systemAutostartDirs << QStringLiteral("/etc/xdg/autostart");
    deps.systemdConfigDir = QStringLiteral("/etc/systemd/system");
    deps.systemdUnitDirs = {
        QStringLiteral("/etc/systemd/system"), QStringLiteral("/run/systemd/system"),
        QStringLiteral("/usr/local/lib/systemd/system"), QStringLiteral("/usr/lib/systemd/system"),
        QStringLiteral("/lib/systemd/system")};
    return deps;
}

StartupItems::StartupItems(HomeLayout layout, Deps deps, std::shared_ptr<Trash> trash,
                           QString locale, QObject* parent)
    : QObject(parent), m_layout(std::move(layout)), m_deps(std::move(deps)),
      m_trash(std::move(trash)), m_locale(std::move(locale)) {}

QString StartupItems::userFolder() const {
    return m_layout.map(kUserAgents);
}

QString StartupItems::disabledFolder() const {
    const QString folder = m_layout.map(kUserAgents + QLatin1Char('/') + kDisabledName);
    QDir().mkpath(folder);
    return folder;
}

void StartupItems::load() {
    QList<StartupItem> gathered;
    const QString user = userFolder();
    gathered += desktopRecords(user, StartupItemsText::yourLogin(), true, false, m_locale);

    // A name in the user's folder, or in a more important folder of all users, takes the place
    // of the same name further down.
    QSet<QString> taken;
    for (const QFileInfo& entry : listFolder(user))
        taken.insert(entry.fileName());
    for (const QString& folder : std::as_const(m_deps.systemAutostartDirs)) {
        QList<StartupItem> records =
            desktopRecords(folder, StartupItemsText::allUsers(), false, false, m_locale);
        for (StartupItem& item : records) {
            const QString name = QFileInfo(item.plistURL.toLocalFile()).fileName();
            if (taken.contains(name))
                item.inactive = true;
        }
        for (const QFileInfo& entry : listFolder(folder))
            taken.insert(entry.fileName());
        gathered += records;
    }
    gathered += enabledUnits(m_deps);
    gathered +=
        desktopRecords(disabledFolder(), StartupItemsText::yourLogin(), true, true, m_locale);

    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(gathered.begin(), gathered.end(),
                     [&](const StartupItem& a, const StartupItem& b) {
                         return collator.compare(a.label, b.label) < 0;
                     });
    m_items = gathered;
    emit itemsChanged();
    m_loaded = true;
    emit loadedChanged();
}

std::optional<QString> StartupItems::setEnabled(const StartupItem& item, bool enabled) {
    const QFileInfo source(item.plistURL.toLocalFile());
    const QString sourceFolder = QDir::cleanPath(source.absolutePath());
    const QString user = QDir::cleanPath(userFolder());
    const QString disabled = QDir::cleanPath(disabledFolder());
    if (!item.userWritable || !item.plistURL.isLocalFile() ||
        (sourceFolder != user && sourceFolder != disabled))
        return StartupItemsText::notChangeable();

    const QString destination = (enabled ? user : disabled) + QLatin1Char('/') + source.fileName();
    if (QDir::cleanPath(source.absoluteFilePath()) == destination) {
        // Already where the switch would put it; its own file must not be touched.
        if (enabled && item.inactive)
            return StartupItemsText::offInItsOwnFile();
        return std::nullopt;
    }

    const QFileInfo existing(destination);
    if (existing.exists() || existing.isSymLink()) {
        QString error;
        if (!m_trash || !m_trash->moveToTrash(destination, &error))
            return error.isEmpty() ? StartupItemsText::trashFailed() : error;
    }
    QFile file(source.absoluteFilePath());
    if (!file.rename(destination))
        return file.errorString();
    load();
    return std::nullopt;
}
