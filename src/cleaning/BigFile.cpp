#include "cleaning/BigFile.h"

#include <QFileInfo>

QString BigFile::fileName() const {
    return QFileInfo(path()).fileName();
}

QString BigFile::folderPath() const {
    return QFileInfo(path()).path();
}

bool BigFile::isOld(const QDateTime& now) const {
    return lastOpened && *lastOpened < now.addSecs(-oldAfterSeconds);
}
