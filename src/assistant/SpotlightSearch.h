#pragma once

#include <QObject>

// File search over the home folder by name, kind and date.
// Created once by the app at start-up; its work arrives with the screens that use it.
class SpotlightSearch : public QObject {
    Q_OBJECT
public:
    explicit SpotlightSearch(QObject* parent = nullptr) : QObject(parent) {}
};
