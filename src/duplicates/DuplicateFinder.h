#pragma once

#include <QObject>

// Finds exact duplicate files by size and checksum.
// Created once by the app at start-up; its work arrives with the screens that use it.
class DuplicateFinder : public QObject {
    Q_OBJECT
public:
    explicit DuplicateFinder(QObject* parent = nullptr) : QObject(parent) {}
};
