#pragma once

#include <functional>
#include <optional>
#include <QObject>
#include <QString>

// How a model should generate an answer; every field left unset means the model's own default.
struct LanguageModelOptions {
    enum class Sampling { Greedy, Random };
    std::optional<Sampling> sampling;
    std::optional<double> temperature;
    std::optional<int> maximumResponseTokens;
};

// The outcome of one exchange: the answer text as the model wrote it (not trimmed, possibly
// empty), or no text and a one-line reason for the log.
struct LanguageModelResponse {
    std::optional<QString> text;
    QString error;

    bool ok() const { return text.has_value(); }
    static LanguageModelResponse answer(const QString& text) { return {text, {}}; }
    static LanguageModelResponse failure(const QString& error) { return {std::nullopt, error}; }
};

// A language model that runs on this machine. Every exchange is a fresh session: the
// instructions set who the model is and the rules it follows, the prompt is the one request,
// there are no tools and nothing carries over from an earlier exchange (callers that want
// history put it into the prompt).
//
// Lives on the main thread. respond() returns at once; the model works elsewhere.
class LanguageModel : public QObject {
    Q_OBJECT
public:
    using Completion = std::function<void(const LanguageModelResponse&)>;

    using QObject::QObject;

    // Whether the model can answer on this system now. Callers check it first and fall back to
    // their fixed texts when it is false, without building a prompt.
    virtual bool isAvailable() const = 0;

    // Starts one exchange. `done` runs exactly once, on the thread of `context` and always after
    // respond() has returned, with the answer or the failure (an unavailable model, a refusal,
    // any error of the model). When `context` is destroyed first, `done` never runs.
    virtual void respond(const QString& instructions, const QString& prompt,
                         const LanguageModelOptions& options, QObject* context,
                         Completion done) = 0;
};
