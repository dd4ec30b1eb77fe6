#pragma once

#include <QObject>

// What each screen must keep across navigation.
// Created once by the app at start-up; its work arrives with the screens that use it.
class ScreenState : public QObject {
    Q_OBJECT
public:
    explicit ScreenState(QObject* parent = nullptr) : QObject(parent) {}
};
