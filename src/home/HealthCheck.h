#pragma once

#include <QObject>

// Findings and a headroom score for the home dashboard and health report.
// Created once by the app at start-up; its work arrives with the screens that use it.
class HealthCheck : public QObject {
    Q_OBJECT
public:
    explicit HealthCheck(QObject* parent = nullptr) : QObject(parent) {}
};
