#pragma once

#include <QObject>

// Suggests quitting memory-heavy background apps.
// One process-wide instance; its work arrives with the screens that use it.
class PerformanceAutopilot : public QObject {
    Q_OBJECT
public:
    explicit PerformanceAutopilot(QObject* parent = nullptr) : QObject(parent) {}
    static PerformanceAutopilot* shared() {
        static PerformanceAutopilot* instance = new PerformanceAutopilot;
        return instance;
    }
};
