#pragma once

#include <QList>
#include <QObject>
#include <QString>

// One cleanable category of a cleaner's table.
struct CleanCategory {
    QString id;
    QString name;

    static QList<CleanCategory> diskCategories();
    static QList<CleanCategory> devCategories();
};

// The cleaner family: each cleaner measures and cleans the categories of its own table. Every
// cleaner is built through this one constructor.
class CleanupScanner : public QObject {
    Q_OBJECT
public:
    explicit CleanupScanner(QList<CleanCategory> categories, QObject* parent = nullptr)
        : QObject(parent), m_categories(std::move(categories)) {}
    const QList<CleanCategory>& categories() const { return m_categories; }

private:
    QList<CleanCategory> m_categories;
};

class DiskCleanupScanner : public CleanupScanner {
    Q_OBJECT
public:
    explicit DiskCleanupScanner(QObject* parent = nullptr)
        : CleanupScanner(CleanCategory::diskCategories(), parent) {}
};

class DevCleanupScanner : public CleanupScanner {
    Q_OBJECT
public:
    explicit DevCleanupScanner(QObject* parent = nullptr)
        : CleanupScanner(CleanCategory::devCategories(), parent) {}
};

class MailCleanupScanner : public CleanupScanner {
    Q_OBJECT
public:
    static QList<CleanCategory> locations();
    explicit MailCleanupScanner(QObject* parent = nullptr) : CleanupScanner(locations(), parent) {}
};

class ScreenshotCleanupScanner : public CleanupScanner {
    Q_OBJECT
public:
    static QList<CleanCategory> categories();
    explicit ScreenshotCleanupScanner(QObject* parent = nullptr)
        : CleanupScanner(categories(), parent) {}
};
