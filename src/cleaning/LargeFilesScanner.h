#pragma once

#include <QObject>

// Lists the largest files of a folder.
// Created once by the app at start-up; its work arrives with the screens that use it.
class LargeFilesScanner : public QObject {
    Q_OBJECT
public:
    explicit LargeFilesScanner(QObject* parent = nullptr) : QObject(parent) {}
};
