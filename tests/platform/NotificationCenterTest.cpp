#include "platform/NotificationCenter.h"

#include <gtest/gtest.h>
#include <memory>
#include <QObject>

TEST(NotificationCenter, DeliversSynchronouslyInOrderToObserversOfThatName) {
    NotificationCenter center;
    QObject context;
    QStringList log;
    center.observe("a", &context, [&](const QString& p) { log << "first:" + p; });
    center.observe("b", &context, [&](const QString& p) { log << "other:" + p; });
    center.observe("a", &context, [&](const QString& p) { log << "second:" + p; });
    center.post("a", "x");
    EXPECT_EQ(log, QStringList({"first:x", "second:x"}));
}

TEST(NotificationCenter, ObserversEndWithTheirContextOrWhenRemoved) {
    NotificationCenter center;
    int calls = 0;
    auto context = std::make_unique<QObject>();
    center.observe("a", context.get(), [&](const QString&) { ++calls; });
    QObject other;
    const int token = center.observe("a", &other, [&](const QString&) { ++calls; });
    center.post("a", "");
    EXPECT_EQ(calls, 2);
    context.reset();
    center.remove(token);
    center.post("a", "");
    EXPECT_EQ(calls, 2);
}

TEST(NotificationCenter, AHandlerMayRemoveAnotherOrObserveDuringDelivery) {
    NotificationCenter center;
    QObject context;
    QStringList log;
    int second = 0;
    center.observe("a", &context, [&](const QString&) {
        log << "first";
        center.remove(second);
        center.observe("a", &context, [&](const QString&) { log << "late"; });
    });
    second = center.observe("a", &context, [&](const QString&) { log << "second"; });
    center.post("a", "");
    EXPECT_EQ(log, QStringList({"first"}));
    center.post("a", "");
    EXPECT_EQ(log, QStringList({"first", "first", "late"}));
}
