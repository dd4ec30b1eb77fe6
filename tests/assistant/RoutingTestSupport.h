// What the routing tests share: a question's expected actions, a busy machine's sample, and the
// assistant on fakes with the searches it asks for.
#pragma once

#include "assistant/AssistantTestSupport.h"

#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUuid>

namespace routingtest {

using namespace assistanttest;
using K = TamsoActionKind;

struct ActionSpec {
    QString label;
    QString featureID;
    TamsoActionKind kind;
    std::optional<QString> payload;

    friend bool operator==(const ActionSpec&, const ActionSpec&) = default;
};

inline QList<ActionSpec> specs(const TamsoMessage& m) {
    QList<ActionSpec> out;
    for (const TamsoAction& a : m.actions)
        out.append({a.label, a.featureID, a.kind, a.payload});
    return out;
}

inline void PrintTo(const ActionSpec& a, std::ostream* os) {
    *os << a.label.toStdString() << " | " << a.featureID.toStdString() << " | "
        << rawValue(a.kind).toStdString() << " | "
        << (a.payload ? a.payload->toStdString() : std::string("(none)"));
}

inline const ActionSpec openStorage{"Open Storage", "disk", K::OpenFeature, std::nullopt};

inline SystemSnapshot busyMachine() {
    SystemSnapshot s;
    s.memUsedBytes = 6'000'000'000;
    s.memTotalBytes = 8'000'000'000;
    s.cpuPercent = 64;
    s.diskFreeBytes = 120'000'000'000;
    s.diskTotalBytes = 500'000'000'000;
    s.thermal.pressure = ThermalSnapshot::Pressure::Fair;
    s.topProcesses = {{QUuid::createUuid(), "Firefox", 2'000'000'000, 0},
                      {QUuid::createUuid(), "code", 900'000'000, 0}};
    s.topCPUProcesses = {{QUuid::createUuid(), "Firefox", 48.6, 0}};
    return s;
}

// A question, what the rules give it and what, if anything, reaches the search panel.
struct Route {
    const char* question;
    QString text;
    QList<ActionSpec> actions;
    std::optional<QString> searched = std::nullopt;
    bool textIsPrefix = false; // a section's blurb, given by its first words
};

class AssistantRoutingTest : public ::testing::Test {
protected:
    AssistantRig rig;
    QObject observer;
    QStringList searches;

    void SetUp() override {
        rig.notifications.observe(Notifications::RunSearch, &observer,
                                  [this](const QString& text) { searches.append(text); });
    }
};

} // namespace routingtest
