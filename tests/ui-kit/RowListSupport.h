// What the tests of QKRowList share: a model of lines, a delegate that draws each with a wrapped
// text and a button (and counts what it is asked), and a fitted list in a scrolling page.
#pragma once

#include "platform/BatchedListModel.h"
#include "ui-kit/QKRowList.h"
#include "ui-kit/QKStampDelegate.h"

#include <functional>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QThread>
#include <QVBoxLayout>

namespace RowListSupport {

class Lines : public BatchedListModel<QString> {
public:
    using BatchedListModel<QString>::BatchedListModel;
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
            return {};
        return rowAt(index.row());
    }
};

// A wrapped text and a "go" button, off for rows whose text starts with "off".
class LineDelegate : public QKStampDelegate {
public:
    explicit LineDelegate(QAbstractItemView* view) : QKStampDelegate(view) {
        m_stamp = new QWidget(view);
        auto* row = new QHBoxLayout(m_stamp);
        row->setContentsMargins(0, 4, 0, 4);
        m_text = new QLabel(m_stamp);
        m_text->setWordWrap(true);
        row->addWidget(m_text, 1);
        m_go = new QPushButton(QStringLiteral("Go"), m_stamp);
        m_go->setObjectName(QStringLiteral("goButton"));
        m_go->setCursor(Qt::PointingHandCursor);
        row->addWidget(m_go, 0, Qt::AlignTop);
        prepareStamp(m_stamp);
    }
    QString keyAction(const QModelIndex&) const override { return QStringLiteral("goButton"); }

    mutable int setUps = 0;
    // How long each set-up takes: a row as costly to measure as a long shaped text.
    int slowMs = 0;

protected:
    QWidget* stampFor(const QModelIndex& index) const override {
        ++setUps;
        if (slowMs > 0)
            QThread::msleep(ulong(slowMs));
        const QString text = index.data().toString();
        m_text->setText(text);
        m_go->setEnabled(!text.startsWith(QStringLiteral("off")));
        return m_stamp;
    }
    QString sizeKey(const QModelIndex& index) const override {
        ++keysAsked;
        return index.data().toString();
    }

public:
    // How often a row's height was looked up: a layout of the list asks once for every row.
    mutable int keysAsked = 0;

private:
    QWidget* m_stamp;
    QLabel* m_text;
    QPushButton* m_go;
};

// A fitted list in a scrolling page, with a line under it.
struct Page {
    Page() {
        scroll.setWidgetResizable(true);
        auto* content = new QWidget(&scroll);
        auto* column = new QVBoxLayout(content);
        list = new QKRowList(QKRowList::Height::Fitted, content);
        delegate = new LineDelegate(list);
        list->setItemDelegate(delegate);
        list->setModel(&model);
        column->addWidget(list);
        column->addWidget(new QLabel(QStringLiteral("below"), content));
        column->addStretch(1);
        scroll.setWidget(content);
        scroll.resize(400, 300);
    }
    QModelIndex at(int row) const { return model.index(row); }
    int heightsSum() const {
        int sum = 0;
        for (int row = 0; row < model.rowCount(); ++row)
            sum += list->visualRect(at(row)).height();
        return sum;
    }

    Lines model;
    QScrollArea scroll;
    QKRowList* list;
    LineDelegate* delegate;
};

// Calls `seen` as a widget is about to paint.
class OnPaint : public QObject {
public:
    OnPaint(QWidget* widget, std::function<void()> seen) : m_seen(std::move(seen)) {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            m_seen();
        return false;
    }

private:
    std::function<void()> m_seen;
};

// Lets the list lay its rows out and the page take the list's new height.
inline void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Turns the event loop until the fitted list has laid out every row at its height: its batches
// are as many rows as fit in their time, so on a busy machine they take more turns.
inline void settleRows(const Page& p) {
    settle();
    for (int turn = 0; turn < 2000; ++turn) {
        const int last = p.model.rowCount() - 1;
        if (last < 0 || (p.list->visualRect(p.at(last)).bottom() + 1 == p.list->height() &&
                         p.list->height() == p.heightsSum()))
            return;
        QCoreApplication::processEvents();
    }
}

inline QString longLine(int n) {
    return QStringLiteral("row %1 ").arg(n) + QString(QStringLiteral("words ")).repeated(12);
}

// Rows of longLine().
inline QStringList longLines(int count) {
    QStringList rows;
    for (int i = 0; i < count; ++i)
        rows << longLine(i);
    return rows;
}

// Rows of longLine() with every third one short: rows of two heights.
inline QStringList mixedLines(int count) {
    QStringList rows;
    for (int i = 0; i < count; ++i)
        rows << (i % 3 ? longLine(i) : QStringLiteral("short %1").arg(i));
    return rows;
}

} // namespace RowListSupport
