#pragma once

#include <QObject>

// The folder browser's tree with its size cache.
// Created once by the app at start-up; its work arrives with the screens that use it.
class FolderTree : public QObject {
    Q_OBJECT
public:
    explicit FolderTree(QObject* parent = nullptr) : QObject(parent) {}
};
