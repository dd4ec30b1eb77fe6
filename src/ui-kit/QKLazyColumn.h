#pragma once

#include <functional>
#include <QHash>
#include <QPointer>
#include <QScrollArea>
#include <QStringList>

class QVBoxLayout;

// The long list for rows with live controls of their own (a strip that scrolls sideways, a choice
// made in the row, pictures that load), which a delegate cannot draw: a list of rows drawn by a
// delegate is a QKRowList instead (CONVENTIONS.md).
//
// A vertical list of widget rows built only as they scroll into view: the rows that fill the
// viewport (and a screen's worth more) are made first, the next ones when the user scrolls near
// the end. Rows once built are kept. Each row is known by a key; setting new keys keeps the
// widgets of keys that stay (so a row's own state, such as a choice made in it, survives), drops
// those of keys that went and makes the new ones when they come into view. Each row is followed
// by a divider.
//
// Rows are made a few at a time: one turn of the event loop makes them for at most a few tens of
// milliseconds, top first (so the rows in view come first), and the rest follow on later turns,
// so a list of heavy rows never holds the main thread for the whole screenful. builtCount() grows
// over those turns; the order of rows (and of the focus chain) is always the keys' order.
class QKLazyColumn : public QScrollArea {
    Q_OBJECT
public:
    using Factory = std::function<QWidget*(const QString& key, QWidget* parent)>;

    QKLazyColumn(int spacing, QWidget* parent = nullptr);

    void setRows(const QStringList& keys, Factory factory);
    int rowCount() const { return int(m_keys.size()); }
    int builtCount() const { return m_built; }
    // Whether rows the view needs are still due on a later turn; filled() follows once they are
    // made (and after every fill that leaves none due, a scroll's included).
    bool isFilling() const { return m_fillQueued; }
    // The row of a key, when built.
    QWidget* row(const QString& key) const { return m_rows.value(key); }

signals:
    void filled();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Makes rows until they reach past the view or this turn's share of time is spent; queues a
    // further turn when rows are still due.
    void fill();
    void fillLater();
    // Makes the next row and hands back the height it adds to the column.
    int buildNext();

    QWidget* m_content;
    QVBoxLayout* m_column;
    QStringList m_keys;
    Factory m_factory;
    QHash<QString, QPointer<QWidget>> m_rows;
    int m_built = 0;
    bool m_filling = false;
    bool m_fillQueued = false;
};
