#pragma once

#include "assistant/TamsoMessage.h"
#include "assistant/TamsoScreenContext.h"
#include "measuring/CleanCategory.h"
#include "platform/HomeLayout.h"
#include "platform/RunningApplications.h"
#include "vitals/SystemSnapshot.h"

#include <functional>
#include <memory>
#include <optional>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <utility>

class CategoryMeasure;
class LanguageModel;
class NotificationCenter;
class PendrelTimelineStore;
class PerformanceAutopilot;
struct QKFeature;

// Pendrel, the assistant: holds the conversation, answers questions about this computer from its
// own live data, and carries out the actions the user approves.
//
// A question goes through a fixed chain of answer sources, the first that answers winning:
// safety rules (is it safe to clear…), intent rules (disk map, find, screenshots, organising,
// quitting apps, headroom, battery, developer data sizes), the feature catalog's trigger phrases,
// the process glossary for "what is" questions, the language model, and a fixed fallback text.
// Every question accepted gets exactly one answer, appended to `messages` and recorded in the
// timeline. Nothing is sent over a network and nothing of the conversation is stored.
//
// Main thread only. Answering never blocks it: the developer-data sizes are measured on the
// thread pool and the model works elsewhere; the answer is appended when they are back.
class TamsoAssistant : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<TamsoMessage> messages READ messages NOTIFY messagesChanged)
    Q_PROPERTY(bool thinking READ thinking NOTIFY thinkingChanged)

public:
    // What the headroom rule tells from a sample: the health check's findings for it with no
    // clearable files counted.
    struct Headroom {
        QString title;
        QString detail;
        QStringList lines;
    };

    // Everything the assistant reads or acts through, handed in by whoever makes it.
    struct Deps {
        // Where every answer and approved action is recorded; its pinned and recent entries
        // also go into the model's prompt.
        PendrelTimelineStore& timeline;
        LanguageModel& model;
        // Where the section, storage-mode and search messages are posted.
        NotificationCenter& notifications;
        // The autopilot that quits applications, looked up only when a quit is approved (at
        // start-up it is made after the assistant). May return null: nothing is quit then.
        // Empty: the process-wide autopilot.
        std::function<PerformanceAutopilot*()> autopilot;
        // Tells whether the biggest memory process is a running application (by process id);
        // only then is quitting it proposed. Empty: this desktop's windows.
        std::shared_ptr<RunningApplications> applications;
        // The home the developer data folders are measured in, and how (required).
        HomeLayout home;
        std::shared_ptr<const CategoryMeasure> measure;
        // The health check's score of a sample (required); none until a health check can score
        // one: the headroom rule then stays silent and the question goes on down the chain.
        std::function<std::optional<Headroom>(const SystemSnapshot&)> headroom;
    };

    static QString welcomeText();

    explicit TamsoAssistant(Deps deps, QObject* parent = nullptr);

    // Oldest first, starting with the welcome message; only ever appended to.
    const QList<TamsoMessage>& messages() const { return m_messages; }
    // True from a question's acceptance until an answer is appended (with two questions in
    // flight, until the first answer).
    bool thinking() const { return m_thinking; }
    // The action the user picked that awaits approval; the screen sets and cancels it, perform()
    // consumes it.
    const std::optional<TamsoAction>& pendingAction() const { return m_pendingAction; }
    void setPendingAction(const std::optional<TamsoAction>& action);

    // Takes a question as typed with the latest sample and the section it was asked from, and
    // returns at once. A question of white space only is ignored. Otherwise the trimmed question
    // is appended at once, `thinking` turns true, and the answer follows on a later turn of the
    // event loop. Questions are not queued: each is answered on its own.
    void ask(const QString& question, const SystemSnapshot& snapshot,
             std::optional<TamsoScreenContext> screen);

    // Carries out pendingAction and clears it first (nothing happens without one). Sections
    // (and a storage-hub mode, when the action names one) are opened by posting the section
    // message, then the mode message. A quit goes to the autopilot for the very application
    // this assistant proposed (its process, checked again at this moment), and the answer says
    // what came of it: "Asked <name> to quit…" only when the request reached it, otherwise that
    // it no longer runs or could not be reached. A quit action this assistant did not propose
    // asks nothing. Each is then recorded in the timeline as an action.
    void perform();

    // --- The answer sources, as pure functions of the lower-cased question -------------------

    // `text` closed as a sentence: a full stop added unless it already ends in ".", "?", "!" or
    // "…".
    static QString sentenceEnd(const QString& text);
    // The section as a line of text: the title, then " — " and the detail when there is one.
    static QString describeScreen(const QString& featureTitle,
                                  const std::optional<QString>& detail);

    // Answers to "will clearing caches lose my passwords" and the like, or none.
    static std::optional<TamsoMessage> safetyAnswer(const QString& q);

    // The phrases that make a question a file search ("find " and "search " with their blank).
    static const QStringList& findPhrases();
    // True when the catalog's best match for q matches with a phrase of 8 or more characters,
    // which outweighs a find phrase ("search history" is a section, not a file search).
    static bool hasStrongCatalogTrigger(const QString& q);

    // The battery rule's text for a sample (the no-battery text without a percentage).
    static QString batteryText(const SystemSnapshot& snapshot);
    // The quitting rule's answer; `name` is the running application that is the biggest memory
    // user, when it is one: only then is quitting proposed.
    static TamsoMessage quitAnswer(const std::optional<QString>& name);

    // The developer tool a question asks the size of, when it asks one.
    enum class DeveloperTool { Docker, LMStudio, Ollama };
    static std::optional<DeveloperTool> developerStorageTool(const QString& q);
    // The category measured for a tool ("dev-docker", "dev-lmstudio", "dev-ollama"), its
    // places mapped into `home`.
    static CleanCategory developerCategory(DeveloperTool tool, const HomeLayout& home);
    // What the answer about one tool rests on.
    struct DeveloperFacts {
        bool ollamaFolder = false; // ~/.ollama exists (Ollama only)
        qint64 bytes = 0;
        int models = 0; // Ollama only
    };
    // Measures a tool's data on the calling thread (slow: keep it off the main thread). Ollama
    // without its folder is not measured at all.
    static DeveloperFacts measureDeveloperStorage(DeveloperTool tool, const HomeLayout& home,
                                                  const CategoryMeasure& measure);
    static TamsoMessage developerStorageAnswer(DeveloperTool tool, const DeveloperFacts& facts);
    // The regular files under <ollamaFolder>/models/manifests, hidden ones and those in hidden
    // folders left out, symlinks not followed; 0 when the folder is missing or unreadable.
    static int ollamaModelCount(const QString& ollamaFolder);

    // The catalog's answer: the best matching section's live reply (or its blurb), the screen
    // the user was on, and a button to open the section (none for the chat itself, where every
    // answer is already read). None when no section matches or the reply is empty.
    static std::optional<TamsoMessage>
    catalogAnswer(const QString& q, const SystemSnapshot& snapshot,
                  const std::optional<TamsoScreenContext>& screen);

    // The process glossary: lower-case key and explanation, in the order keys are tried.
    static const QList<std::pair<QString, QString>>& processGlossary();
    // For "what is" questions only: the explanation of the longest glossary key q names as a
    // program (the earlier entry on equal lengths), so "mds_stores" is not answered as "mds" nor
    // "systemd-journald" as systemd.
    static std::optional<TamsoMessage> glossaryAnswer(const QString& q);
    // Whether the lower-cased question names the glossary's `key` as a whole program name.
    static bool namesProcess(const QString& q, const QString& key);

    static TamsoMessage fallbackAnswer(const std::optional<TamsoScreenContext>& screen);

    // --- What the model is told ------------------------------------------------------------

    // Who the model is, the app's sections (one line each) and the rules it must keep.
    static QString instructions();
    static QString introduction();
    static QString sectionList();
    static QString sectionLine(const QKFeature& feature);
    static QString hardRules();
    // The sample in one line: memory, CPU, disk, thermal pressure, busiest processes.
    static QString liveDataLine(const SystemSnapshot& snapshot);
    // The last six of the messages before the question, one "User: " / "Pendrel: " line each.
    static QString transcript(const QList<TamsoMessage>& earlier);
    // The request: live data, the screen, the conversation so far, the user's pinned and recent
    // timeline lines (each left out when empty), and the lower-cased question.
    static QString prompt(const QString& q, const SystemSnapshot& snapshot,
                          const std::optional<TamsoScreenContext>& screen,
                          const QString& transcript, const QString& pinned, const QString& recent);

signals:
    void messagesChanged();
    void thinkingChanged(bool thinking);
    void pendingActionChanged();
    // Every hand-over, exactly as the caller made it, even one that is ignored.
    void asked(const QString& question, const SystemSnapshot& snapshot,
               const std::optional<TamsoScreenContext>& screen);

private:
    struct Question;
    using Done = std::function<void(const TamsoMessage&)>;

    void route(const Question& question, Done done);
    void routeFromCatalog(const Question& question, Done done);
    // The intent rules that answer from the question and sample alone (all but developer data).
    std::optional<TamsoMessage> intentAnswer(const QString& q, const SystemSnapshot& snapshot);
    // The running application whose process is the sample's biggest memory user; none when that
    // process is no regular, running, named application (a compiler, a daemon).
    std::optional<RunningApplication> quitCandidate(const SystemSnapshot& snapshot) const;
    void measureThenAnswer(DeveloperTool tool, Done done);
    // Asks the model; `done` gets its text, or none when it is unavailable or fails.
    void modelAnswer(const Question& question, std::function<void(std::optional<QString>)> done);
    void finish(const Question& question, const TamsoMessage& answer);
    void append(const TamsoMessage& message);
    void setThinking(bool thinking);

    Deps m_deps;
    QList<TamsoMessage> m_messages;
    bool m_thinking = false;
    std::optional<TamsoAction> m_pendingAction;
    // The process of the application each quit proposal was made for, by the action's id: an
    // action carries only the name, and two applications may share one.
    QHash<QUuid, qint64> m_quitTargets;
};
