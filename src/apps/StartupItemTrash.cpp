#include "apps/StartupItemTrash.h"

#include "apps/StartupItemsText.h"

#include <QFile>

bool QtStartupItemTrash::moveToTrash(const QString& path, QString* error) {
    QFile file(path);
    if (file.moveToTrash())
        return true;
    if (error) {
        *error = file.errorString();
        if (error->isEmpty() || *error == QLatin1String("Unknown error"))
            *error = StartupItemsText::trashFailed();
    }
    return false;
}
