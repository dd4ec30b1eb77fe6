#pragma once

// The one way a widget test reaches a part of a screen: by the object name the screen gives it as
// it places it, so a screen hands tests nothing of its own.
//
//   auto* save = Find::part<QPushButton>(view, "saveButton");
//   EXPECT_EQ(Find::part<QLabel>(view, "statusLine")->text(), "Saved");
//   EXPECT_FALSE(Find::maybe<QLabel>(view, "errorLine"));   // a part that may not be built
//
// `part` fails the test when there is no such part or more than one: a name must say which part it
// is. The failure is recorded first (so it shows even when the finder runs inside the event loop)
// and then thrown, so the test body stops there instead of following a null pointer.

#include <gtest/gtest.h>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <stdexcept>
#include <string>

namespace Find {

// What `part` throws after recording its failure; GoogleTest ends the test with it.
struct NotFound : std::logic_error {
    using std::logic_error::logic_error;
};

namespace detail {

inline QString describe(const QObject* object) {
    if (!object)
        return QStringLiteral("(null)");
    const QString name = object->objectName();
    return QString::fromLatin1(object->metaObject()->className()) +
           (name.isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(name));
}

// The parts under root carrying the name whatever their type, so a failure can say what the
// name does stand for.
inline QStringList namesakes(const QObject* root, const QString& name) {
    QStringList out;
    for (const QObject* o : root->findChildren<QObject*>(name))
        out << describe(o);
    return out;
}

template <typename T>
[[noreturn]] void fail(const QObject* root, const QString& name, qsizetype count) {
    const QString type = QString::fromLatin1(T::staticMetaObject.className());
    QString message = count == 0 ? QStringLiteral("no %1 named \"%2\" under %3")
                                 : QStringLiteral("%1 parts of type %2 named \"%3\" under %4")
                                       .arg(count)
                                       .arg(type, name, describe(root));
    if (count == 0) {
        message = message.arg(type, name, describe(root));
        const QStringList others = root ? namesakes(root, name) : QStringList();
        if (!others.isEmpty())
            message += QStringLiteral("; the name is on: ") + others.join(QStringLiteral(", "));
    }
    ADD_FAILURE() << message.toStdString();
    throw NotFound(message.toStdString());
}

template <typename T> QList<T*> all(const QObject* root, const QString& name) {
    return root ? root->findChildren<T*>(name) : QList<T*>();
}

} // namespace detail

// Every part of type T named name under root, at any depth, in the order Qt keeps them.
template <typename T> QList<T*> parts(const QObject* root, const QString& name) {
    return detail::all<T>(root, name);
}

// The one part of type T named name under root, at any depth.
template <typename T = QObject> T* part(const QObject* root, const QString& name) {
    const QList<T*> found = detail::all<T>(root, name);
    if (found.size() != 1)
        detail::fail<T>(root, name, found.size());
    return found.first();
}

// The part of type T named name under root, or null when the screen has not built it; more than
// one fails the test as `part` does.
template <typename T = QObject> T* maybe(const QObject* root, const QString& name) {
    const QList<T*> found = detail::all<T>(root, name);
    if (found.size() > 1)
        detail::fail<T>(root, name, found.size());
    return found.isEmpty() ? nullptr : found.first();
}

template <typename T = QObject> T* part(const QObject& root, const QString& name) {
    return part<T>(&root, name);
}
template <typename T = QObject> T* maybe(const QObject& root, const QString& name) {
    return maybe<T>(&root, name);
}
template <typename T> QList<T*> parts(const QObject& root, const QString& name) {
    return parts<T>(&root, name);
}

} // namespace Find
