#pragma once

#include <QObject>

// The live vitals: sampled every few seconds, with short histories.
// Created once by the app at start-up; its work arrives with the screens that use it.
class AppState : public QObject {
    Q_OBJECT
public:
    explicit AppState(QObject* parent = nullptr) : QObject(parent) {}
};
