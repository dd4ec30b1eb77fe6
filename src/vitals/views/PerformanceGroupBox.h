#pragma once

#include "ui-kit/QKGroupBox.h"

// A group box of the Performance screen: the shared group box, never taller than its content
// asks for, so a page's spare height stays below its cards.
class PerformanceGroupBox : public QKGroupBox {
    Q_OBJECT
public:
    explicit PerformanceGroupBox(const QString& title, int spacing, QWidget* parent = nullptr)
        : QKGroupBox(title, spacing, parent) {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    }
};
