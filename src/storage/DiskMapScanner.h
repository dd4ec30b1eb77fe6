#pragma once

#include <QObject>

// The categorised folder tree behind the disk map.
// Created once by the app at start-up; its work arrives with the screens that use it.
class DiskMapScanner : public QObject {
    Q_OBJECT
public:
    explicit DiskMapScanner(QObject* parent = nullptr) : QObject(parent) {}
};
