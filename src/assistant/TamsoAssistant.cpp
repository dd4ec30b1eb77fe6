#include "assistant/TamsoAssistant.h"

#include "assistant/TamsoAIText.h"
#include "platform/LanguageModel.h"
#include "platform/NotificationCenter.h"
#include "platform/PendrelTimelineStore.h"
#include "platform/RunningApplications.h"
#include "shell/QKFeature.h"
#include "shell/ScanJob.h"
#include "vitals/PerformanceAutopilot.h"

#include <QTimer>

// One accepted question with everything its answer is built from, copied at the moment it was
// asked.
struct TamsoAssistant::Question {
    QUuid messageID; // the user's message; the model's transcript ends before it
    QString typed;   // trimmed, as typed: the timeline's title
    QString q;       // lower-cased: what every rule and the model read
    SystemSnapshot snapshot;
    std::optional<TamsoScreenContext> screen;
};

QString TamsoAssistant::welcomeText() {
    return QStringLiteral(
        "Hi, I'm Pendrel. Ask me why your Mac is slow, what is using your storage, why it feels "
        "hot, why your battery is draining, or what any process is. Every answer comes from this "
        "Mac's own live data — nothing leaves your machine.");
}

TamsoAssistant::TamsoAssistant(Deps deps, QObject* parent)
    : QObject(parent), m_deps(std::move(deps)) {
    Q_ASSERT(m_deps.measure && m_deps.headroom);
    if (!m_deps.autopilot)
        m_deps.autopilot = &PerformanceAutopilot::shared;
    if (!m_deps.applications)
        m_deps.applications = RunningApplications::system();
    m_messages.append(TamsoMessage::answer(welcomeText()));
}

void TamsoAssistant::setPendingAction(const std::optional<TamsoAction>& action) {
    if (action == m_pendingAction)
        return;
    m_pendingAction = action;
    emit pendingActionChanged();
}

void TamsoAssistant::ask(const QString& question, const SystemSnapshot& snapshot,
                         std::optional<TamsoScreenContext> screen) {
    emit asked(question, snapshot, screen);
    const QString typed = question.trimmed();
    if (typed.isEmpty())
        return;
    const TamsoMessage user = TamsoMessage::question(typed);
    append(user);
    setThinking(true);

    Question accepted{user.id, typed, typed.toLower(), snapshot, std::move(screen)};
    // The answer comes on a later turn, as it would from any slower source, so callers never
    // see it arrive inside ask().
    QTimer::singleShot(0, this, [this, accepted] {
        route(accepted, [this, accepted](const TamsoMessage& answer) { finish(accepted, answer); });
    });
}

void TamsoAssistant::route(const Question& question, Done done) {
    if (std::optional<TamsoMessage> safety = safetyAnswer(question.q))
        return done(*safety);
    if (std::optional<TamsoMessage> intent = intentAnswer(question.q, question.snapshot))
        return done(*intent);
    if (const std::optional<DeveloperTool> tool = developerStorageTool(question.q))
        return measureThenAnswer(*tool, std::move(done));
    routeFromCatalog(question, std::move(done));
}

void TamsoAssistant::routeFromCatalog(const Question& question, Done done) {
    if (std::optional<TamsoMessage> catalog =
            catalogAnswer(question.q, question.snapshot, question.screen))
        return done(*catalog);
    if (std::optional<TamsoMessage> glossary = glossaryAnswer(question.q))
        return done(*glossary);
    const std::optional<TamsoScreenContext> screen = question.screen;
    modelAnswer(question, [done = std::move(done), screen](const std::optional<QString>& text) {
        done(text ? TamsoMessage::answer(*text) : fallbackAnswer(screen));
    });
}

std::optional<TamsoMessage> TamsoAssistant::intentAnswer(const QString& q,
                                                         const SystemSnapshot& snapshot) {
    using K = TamsoActionKind;
    if (q.contains(QLatin1String("disk map")) || q.contains(QLatin1String("treemap")) ||
        (q.contains(QLatin1String("map")) && q.contains(QLatin1String("disk")))) {
        return TamsoMessage::answer(
            QStringLiteral(
                "Disk Map shows your home folder as a treemap so the largest folders stand out."),
            {TamsoAction::make(QStringLiteral("Open Disk Map"), QStringLiteral("disk"),
                               K::ProposeOpenCleanup, QStringLiteral("diskMap"))});
    }
    const bool findPhrase = std::any_of(findPhrases().cbegin(), findPhrases().cend(),
                                        [&](const QString& phrase) { return q.contains(phrase); });
    if (findPhrase && !hasStrongCatalogTrigger(q)) {
        m_deps.notifications.post(Notifications::RunSearch, q);
        return TamsoMessage::answer(QStringLiteral(
            "Searching your files for that now. Results are in the Find panel on the right; "
            "click Show on any of them to open its location."));
    }
    if (q.contains(QLatin1String("screenshot"))) {
        return TamsoMessage::answer(
            QStringLiteral("I can open Screenshot Cleaner so you can review captures by age "
                           "before clearing them."),
            {TamsoAction::make(QStringLiteral("Open Screenshot Cleaner"), QStringLiteral("disk"),
                               K::ProposeOpenCleanup, QStringLiteral("screenshots"))});
    }
    if (q.contains(QLatin1String("organise")) || q.contains(QLatin1String("organize")) ||
        q.contains(QLatin1String("tidy"))) {
        return TamsoMessage::answer(
            QStringLiteral("Folder Organizer can preview moving Downloads and Desktop files into "
                           "type folders. Nothing moves until you approve the plan."),
            {TamsoAction::make(QStringLiteral("Open Organizer"), QStringLiteral("disk"),
                               K::ProposeOpenCleanup, QStringLiteral("organizer"))});
    }
    if (q.contains(QLatin1String("quit")) || q.contains(QLatin1String("close apps")) ||
        q.contains(QLatin1String("autopilot"))) {
        const std::optional<RunningApplication> app = quitCandidate(snapshot);
        TamsoMessage answer =
            quitAnswer(app ? std::optional<QString>(app->localizedName) : std::nullopt);
        for (const TamsoAction& action : std::as_const(answer.actions)) {
            if (app && action.kind == K::ProposeQuit)
                m_quitTargets.insert(action.id, app->pid);
        }
        return answer;
    }
    if (q.contains(QLatin1String("headroom")) || q.contains(QLatin1String("health score"))) {
        if (const std::optional<Headroom> h = m_deps.headroom(snapshot)) {
            return TamsoMessage::answer(
                h->title + QStringLiteral(": ") + h->detail + QStringLiteral(". ") +
                    h->lines.join(QStringLiteral(". ")) + QStringLiteral("."),
                {TamsoAction::make(QStringLiteral("Open Home"), QStringLiteral("dashboard"),
                                   K::OpenFeature)});
        }
    }
    if (q.contains(QLatin1String("battery")) && !QKFeature::bestMatch(q))
        return TamsoMessage::answer(batteryText(snapshot));
    return std::nullopt;
}

std::optional<RunningApplication>
TamsoAssistant::quitCandidate(const SystemSnapshot& snapshot) const {
    if (snapshot.topProcesses.isEmpty())
        return std::nullopt;
    const ProcessMemoryInfo& top = snapshot.topProcesses.constFirst();
    if (top.pid <= 0)
        return std::nullopt;
    // Only an application can be asked to quit; the process list also holds compilers and
    // daemons, and names processes by their command ("firefox-esr") where the application is
    // named after its windows ("Firefox-esr").
    for (const RunningApplication& app : m_deps.applications->applications()) {
        if (app.pid == top.pid && app.regular && !app.terminated && !app.localizedName.isEmpty())
            return app;
    }
    return std::nullopt;
}

void TamsoAssistant::measureThenAnswer(DeveloperTool tool, Done done) {
    const HomeLayout home = m_deps.home;
    const std::shared_ptr<const CategoryMeasure> measure = m_deps.measure;
    QPointer<TamsoAssistant> self(this);
    ScanJob::runInPool([tool, home, measure, self, done = std::move(done)]() mutable {
        const DeveloperFacts facts = measureDeveloperStorage(tool, home, *measure);
        ScanJob::deliver(self, [tool, facts, done = std::move(done)](TamsoAssistant*) {
            done(developerStorageAnswer(tool, facts));
        });
    });
}

void TamsoAssistant::modelAnswer(const Question& question,
                                 std::function<void(std::optional<QString>)> done) {
    if (!m_deps.model.isAvailable())
        return done(std::nullopt);
    // The transcript is what came before this question, not whatever was appended since.
    QList<TamsoMessage> earlier;
    for (const TamsoMessage& m : std::as_const(m_messages)) {
        if (m.id == question.messageID)
            break;
        earlier.append(m);
    }
    const QString request =
        prompt(question.q, question.snapshot, question.screen, transcript(earlier),
               m_deps.timeline.pinnedContext(), m_deps.timeline.recentContext(8));
    m_deps.model.respond(instructions(), request, LanguageModelOptions{}, this,
                         [done = std::move(done)](const LanguageModelResponse& response) {
                             // A failure of any kind leaves the answer to the fallback text.
                             done(response.text);
                         });
}

void TamsoAssistant::finish(const Question& question, const TamsoMessage& answer) {
    append(answer);
    setThinking(false);
    m_deps.timeline.record(TimelineEntry::Kind::AskAnswer, question.typed, answer.text,
                           question.screen ? question.screen->featureID : QStringLiteral("tamso"),
                           false);
}

void TamsoAssistant::perform() {
    if (!m_pendingAction)
        return;
    const TamsoAction action = *m_pendingAction;
    setPendingAction(std::nullopt);

    if (action.kind == TamsoActionKind::ProposeQuit) {
        if (!action.payload)
            return;
        const QString& name = *action.payload;
        using Result = PerformanceAutopilot::QuitResult;
        Result result = Result::NotRunning;
        const qint64 pid = m_quitTargets.value(action.id, 0);
        PerformanceAutopilot* autopilot = m_deps.autopilot();
        if (pid > 0)
            result = autopilot ? autopilot->quit(pid, name, false) : Result::NotDelivered;
        QString text;
        switch (result) {
        case Result::Asked:
            text = TamsoAIText::quitAsked(name);
            break;
        case Result::NotRunning:
            text = TamsoAIText::quitNotRunning(name);
            break;
        case Result::NotDelivered:
            text = TamsoAIText::quitNotDelivered(name);
            break;
        }
        append(TamsoMessage::answer(text));
        m_deps.timeline.record(TimelineEntry::Kind::Action, QStringLiteral("Quit ") + name, text,
                               action.featureID, false);
        return;
    }

    m_deps.notifications.post(Notifications::OpenSection, action.featureID);
    if (action.payload)
        m_deps.notifications.post(Notifications::OpenDiskMode, *action.payload);
    const QKFeature* feature = QKFeature::lookup(action.featureID);
    m_deps.timeline.record(TimelineEntry::Kind::Action, action.label,
                           QStringLiteral("Opened ") +
                               (feature ? feature->title : action.featureID),
                           action.featureID, false);
}

void TamsoAssistant::append(const TamsoMessage& message) {
    m_messages.append(message);
    emit messagesChanged();
}

void TamsoAssistant::setThinking(bool thinking) {
    if (thinking == m_thinking)
        return;
    m_thinking = thinking;
    emit thinkingChanged(thinking);
}
