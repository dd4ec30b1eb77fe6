#pragma once

#include "platform/AccountName.h"

// An account whose full name the test sets.
class FakeAccountName final : public AccountName {
public:
    explicit FakeAccountName(QString name = {}) : name(std::move(name)) {}
    QString fullName() const override { return name; }

    QString name;
};
