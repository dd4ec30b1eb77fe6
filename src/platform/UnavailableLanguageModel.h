#pragma once

#include "platform/LanguageModel.h"

// The Linux backend: this system has no on-device model, so it is never available and every
// exchange fails, which sends callers to their fixed texts.
class UnavailableLanguageModel : public LanguageModel {
    Q_OBJECT
public:
    using LanguageModel::LanguageModel;

    bool isAvailable() const override { return false; }
    void respond(const QString& instructions, const QString& prompt,
                 const LanguageModelOptions& options, QObject* context, Completion done) override;
};
