#pragma once

#include <QObject>

// Finds installed applications and their leftover files.
// Created once by the app at start-up; its work arrives with the screens that use it.
class AppUninstaller : public QObject {
    Q_OBJECT
public:
    explicit AppUninstaller(QObject* parent = nullptr) : QObject(parent) {}
};
