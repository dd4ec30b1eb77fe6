#pragma once

#include "platform/FileRevealer.h"

#include <QStringList>

// Records the paths it was asked to reveal; no file manager is asked.
class FakeFileRevealer final : public FileRevealer {
public:
    void reveal(const QString& path) override { revealed << path; }
    QStringList revealed;
};
