#pragma once

#include "platform/LoginItem.h"

// A login item kept in memory. With `failWith` set, every register/unregister fails with that
// reason and the status stays; otherwise it succeeds. Calls are counted.
class FakeLoginItem : public LoginItemService {
public:
    Status current = Status::NotRegistered;
    QString failWith;
    int registers = 0;
    int unregisters = 0;

    Status status() const override { return current; }
    [[nodiscard]] bool registerItem(QString* error) override {
        ++registers;
        return finish(Status::Enabled, error);
    }
    [[nodiscard]] bool unregisterItem(QString* error) override {
        ++unregisters;
        return finish(Status::NotRegistered, error);
    }

private:
    bool finish(Status next, QString* error) {
        if (!failWith.isEmpty()) {
            if (error)
                *error = failWith;
            return false;
        }
        current = next;
        return true;
    }
};
