#pragma once

#include <QObject>

// Switches hidden settings through the defaults tool.
// Created once by the app at start-up; its work arrives with the screens that use it.
class TweaksService : public QObject {
    Q_OBJECT
public:
    explicit TweaksService(QObject* parent = nullptr) : QObject(parent) {}
};
