#pragma once

#include <QObject>

// Login and launch items, with disabling.
// Created once by the app at start-up; its work arrives with the screens that use it.
class StartupItems : public QObject {
    Q_OBJECT
public:
    explicit StartupItems(QObject* parent = nullptr) : QObject(parent) {}
};
