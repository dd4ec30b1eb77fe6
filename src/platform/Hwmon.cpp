#include "platform/Hwmon.h"

#include "platform/KernelFiles.h"

#include <QMap>
#include <QRegularExpression>

QList<HwmonChip> readHwmonChips(const QString& sysRoot) {
    // Channels are numbered from 1; a number beyond four digits is no channel any driver makes.
    static const QRegularExpression channel(
        QStringLiteral("^(temp|fan)([1-9][0-9]{0,3})_([a-z]+)$"));

    QList<HwmonChip> chips;
    for (const KernelFiles::ClassFolder& folder :
         KernelFiles::classFolders(sysRoot, QLatin1String("hwmon"))) {
        const QString& dir = folder.path;
        const auto name = KernelFiles::readLine(dir + QStringLiteral("name"));
        if (!name)
            continue;
        HwmonChip chip;
        chip.folder = folder.name;
        chip.name = QString::fromUtf8(*name);
        QMap<int, HwmonChip::Temperature> temps;
        QMap<int, HwmonChip::Fan> fans;
        for (const QString& file : KernelFiles::listDir(dir)) {
            const auto match = channel.match(file);
            if (!match.hasMatch())
                continue;
            bool ok = false;
            const int index = match.captured(2).toInt(&ok);
            if (!ok)
                continue;
            const QString attribute = match.captured(3);
            const QString path = dir + file;
            if (match.captured(1) == QLatin1String("temp")) {
                if (attribute == QLatin1String("input")) {
                    temps[index].index = index;
                    temps[index].inputPath = path;
                }
                continue;
            }
            HwmonChip::Fan& fan = fans[index];
            fan.index = index;
            if (attribute == QLatin1String("input"))
                fan.inputPath = path;
            else if (attribute == QLatin1String("min"))
                fan.minPath = path;
            else if (attribute == QLatin1String("max"))
                fan.maxPath = path;
            else if (attribute == QLatin1String("target"))
                fan.targetPath = path;
        }
        for (auto it = temps.begin(); it != temps.end(); ++it) {
            const auto label =
                KernelFiles::readLine(dir + QStringLiteral("temp%1_label").arg(it.key()));
            it->label = label ? QString::fromUtf8(*label) : QString();
            chip.temperatures.append(*it);
        }
        for (auto it = fans.begin(); it != fans.end(); ++it) {
            const auto label =
                KernelFiles::readLine(dir + QStringLiteral("fan%1_label").arg(it.key()));
            it->label = label ? QString::fromUtf8(*label) : QString();
            chip.fans.append(*it);
        }
        chips.append(chip);
    }
    return chips;
}
