#include "automation/AutomationStore.h"

#include "automation/AutomationSchedule.h"
#include "automation/AutomationText.h"
#include "platform/AppSupportFolder.h"
#include "platform/Clock.h"
#include "platform/FreedesktopNotifier.h"
#include "platform/PendrelTimelineStore.h"
#include "platform/ToolRunner.h"
#include "platform/UserDefaults.h"
#include "platform/UserNotifier.h"
#include "vitals/AppState.h"
#include "vitals/SystemStatsSampler.h"

#include <QUuid>

namespace {

// Fills the seams left empty with this user's own; the one place the store says what an empty
// member means.
void fillSystemSeams(AutomationStore::Deps& deps) {
    if (!deps.clock)
        deps.clock = std::make_shared<SystemClock>();
    if (!deps.notifier)
        deps.notifier = std::make_shared<FreedesktopNotifier>();
    if (!deps.timeline)
        deps.timeline = PendrelTimelineStore::shared();
    if (!deps.tools)
        deps.tools = std::make_shared<ProcessToolRunner>();
    if (!deps.freshDiskSample) {
        deps.freshDiskSample = [] {
            SystemStatsSampler sampler;
            SystemSnapshot snapshot;
            sampler.sampleDisk(snapshot);
            return snapshot;
        };
    }
}

} // namespace

AutomationStore::Deps AutomationStore::Deps::system() {
    Deps env;
    env.defaults = &UserDefaults::standard();
    env.layout = HomeLayout::fromEnvironment();
    env.cleaning = CleanupScanner::Deps::system(env.layout);
    env.searchPath = qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    fillSystemSeams(env);
    return env;
}

QStringList AutomationStore::defaultDockerCandidates() {
    return {QStringLiteral("/opt/homebrew/bin/docker"), QStringLiteral("/usr/local/bin/docker")};
}

AutomationStore::AutomationStore(Deps deps, QObject* parent)
    : QObject(parent), m_deps(std::move(deps)) {
    Q_ASSERT(m_deps.defaults && m_deps.cleaning.measure && m_deps.cleaning.trash);
    fillSystemSeams(m_deps);
    load();
}

AutomationStore::~AutomationStore() = default;

AutomationStore* AutomationStore::shared() {
    static AutomationStore* instance = new AutomationStore(Deps::system());
    return instance;
}

void AutomationStore::setDiskCleaner(DiskCleanupScanner* s) {
    m_disk = s;
}
void AutomationStore::setDevCleaner(DevCleanupScanner* s) {
    m_dev = s;
}
void AutomationStore::setScreenshotCleaner(ScreenshotCleanupScanner* s) {
    m_shots = s;
}
void AutomationStore::setAppState(AppState* s) {
    m_appState = s;
}
DiskCleanupScanner* AutomationStore::diskCleaner() const {
    return m_disk.data();
}
DevCleanupScanner* AutomationStore::devCleaner() const {
    return m_dev.data();
}
ScreenshotCleanupScanner* AutomationStore::screenshotCleaner() const {
    return m_shots.data();
}
AppState* AutomationStore::appState() const {
    return m_appState.data();
}

AutomationRuleState AutomationStore::state(const QString& ruleId) const {
    return m_states.value(ruleId);
}

// ---- Stored state

void AutomationStore::load() {
    std::optional<AutomationRuleStates::Map> decoded;
    decoded =
        AutomationRuleStates::decode(m_deps.defaults->value(AutomationRuleStates::defaultsKey()));
    m_states = AutomationRuleStates::forTable(decoded);
    emit statesChanged();
}

void AutomationStore::save() {
    m_deps.defaults->setValue(AutomationRuleStates::defaultsKey(),
                              AutomationRuleStates::encode(m_states));
}

QString AutomationStore::dayKey(const QDateTime& moment) const {
    return AutomationSchedule::dayKey(moment, m_deps.timeZone);
}

void AutomationStore::setState(const QString& ruleId, const AutomationRuleState& state) {
    m_states.insert(ruleId, state);
    emit statesChanged();
    save();
}

// ---- Published fields: each assignment is announced, changed or not.

void AutomationStore::setRunning(bool running) {
    m_running = running;
    emit isRunningChanged(running);
}

void AutomationStore::setRunningRuleID(const std::optional<QString>& id) {
    m_runningRuleID = id;
    emit runningRuleIDChanged();
}

void AutomationStore::setStatusMessage(const std::optional<QString>& message, bool problem) {
    m_statusMessage = message;
    m_statusIsProblem = message && problem;
    emit statusMessageChanged();
}

// ---- Schedule

void AutomationStore::start() {
    m_timer = std::make_unique<QTimer>();
    m_timer->setInterval(m_deps.checkIntervalMs);
    QPointer<AutomationStore> self(this);
    connect(m_timer.get(), &QTimer::timeout, this, [self] {
        if (self)
            self->checkDue();
    });
    m_timer->start();
}

void AutomationStore::requestNotificationPermission() {
    m_deps.notifier->requestPermission();
}

void AutomationStore::checkDueAtLaunch() {
    checkDue();
}

void AutomationStore::checkDue() {
    if (m_running || m_pass)
        return;
    const QDateTime now = m_deps.clock->now();
    m_pass = Pass{AutomationSchedule::weekday(now, m_deps.timeZone), dayKey(now), 0, false};
    setStatusMessage(AutomationText::checking());
    continuePass();
}

void AutomationStore::continuePass() {
    const QList<AutomationRule>& rules = AutomationRule::all();
    while (m_pass && m_pass->next < rules.size()) {
        const AutomationRule& rule = rules.at(m_pass->next++);
        // Read afresh for every rule: a run earlier in this pass may have changed the states.
        const AutomationRuleState st = state(rule.id);
        if (!st.enabled || !AutomationSchedule::isRuleDay(rule.kind, m_pass->weekday))
            continue;
        if (st.lastRunDay && *st.lastRunDay == m_pass->today)
            continue;
        if (rule.kind == AutomationRule::Kind::DiskAlert) {
            storageAlertDue([this, rule](bool due) {
                if (due)
                    runInPass(rule);
                else
                    continuePass();
            });
            return;
        }
        runInPass(rule);
        return;
    }
    if (!m_pass)
        return;
    if (!m_pass->ran)
        setStatusMessage(AutomationText::nothingDue());
    m_pass.reset();
    emit checkFinished();
}

void AutomationStore::runInPass(const AutomationRule& rule) {
    m_pass->ran = true;
    run(rule, [this] { continuePass(); });
}

void AutomationStore::setEnabled(bool enabled, const QString& ruleId) {
    if (!AutomationRule::lookup(ruleId))
        return;
    AutomationRuleState st = state(ruleId);
    st.enabled = enabled;
    setState(ruleId, st);
    if (enabled)
        QTimer::singleShot(0, this, &AutomationStore::checkDue);
}

void AutomationStore::runNow(const AutomationRule& rule) {
    run(rule, {});
}

void AutomationStore::run(const AutomationRule& rule, std::function<void()> then) {
    if (m_running) {
        if (then)
            then();
        return;
    }
    setRunning(true);
    setRunningRuleID(rule.id);
    runRunner(rule.kind, [this, rule, then = std::move(then)](const Outcome& result) {
        recordResult(rule, result);
        emit runFinished(rule.id);
        if (then)
            then();
    });
}

void AutomationStore::runRunner(AutomationRule::Kind kind, Done done) {
    switch (kind) {
    case AutomationRule::Kind::FridayDownloads:
        return emptyOldDownloads(std::move(done));
    case AutomationRule::Kind::SundayDevCaches:
        return cleanDeveloperCaches(std::move(done));
    case AutomationRule::Kind::DiskAlert:
        return storageAlertMessage(std::move(done));
    case AutomationRule::Kind::WeeklyDocker:
        return pruneDocker(std::move(done));
    case AutomationRule::Kind::FridayScreenshots:
        return cleanOldScreenshots(std::move(done));
    }
}

void AutomationStore::recordResult(const AutomationRule& rule, const Outcome& result) {
    AutomationRuleState st = state(rule.id);
    const QDateTime now = m_deps.clock->now();
    st.lastRun = secondsSinceReferenceDate(now);
    st.lastRunDay = dayKey(now);
    st.lastResult = result.text;
    st.lastResultIsProblem = result.problem;
    setState(rule.id, st);
    setStatusMessage(AutomationText::statusLine(rule.title, result.text), result.problem);
    notify(rule.title, result.text);
    m_deps.timeline->record(TimelineEntry::Kind::Automation, rule.title, result.text,
                            QStringLiteral("automation"), false);
    setRunning(false);
    setRunningRuleID(std::nullopt);
}

void AutomationStore::notify(const QString& title, const QString& result) {
    UserNotifier::Request request;
    request.identifier = QStringLiteral("automation-") +
                         QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    request.title = AutomationText::notificationTitle(title);
    request.body = result;
    request.playSound = true;
    m_deps.notifier->post(request);
}
