#pragma once

#include <QObject>

// Proposes, applies and undoes folder moves.
// Created once by the app at start-up; its work arrives with the screens that use it.
class FolderOrganizer : public QObject {
    Q_OBJECT
public:
    explicit FolderOrganizer(QObject* parent = nullptr) : QObject(parent) {}
};
