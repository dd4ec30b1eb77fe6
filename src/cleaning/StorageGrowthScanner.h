#pragma once

#include <QObject>

// Measures what grew in the home folder recently.
// Created once by the app at start-up; its work arrives with the screens that use it.
class StorageGrowthScanner : public QObject {
    Q_OBJECT
public:
    explicit StorageGrowthScanner(QObject* parent = nullptr) : QObject(parent) {}
};
