#pragma once

#include "shell/Services.h"

#include <QString>
#include <QWidget>

class QLabel;

// The main window's content: the sidebar of sections and the detail card.
class ContentView : public QWidget {
    Q_OBJECT
public:
    explicit ContentView(const Services& services, QWidget* parent = nullptr);

    QString selectedSection() const { return m_selected; }
    void selectSection(const QString& id);

private:
    Services m_services;
    QString m_selected = QStringLiteral("dashboard");
    QLabel* m_detail = nullptr;
};
