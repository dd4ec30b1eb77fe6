// The fixed answers: safety, intents, developer data sizes, the catalog, the glossary and the
// fallback. Every test is a plain substring test on the lower-cased question, so a key also
// matches inside a longer word ("cache" in "caches", "clear" in "clearing").
#include "assistant/TamsoAssistant.h"

#include "measuring/CategoryMeasure.h"
#include "measuring/tables/TableRow.h"
#include "platform/ByteFormat.h"
#include "platform/DirectoryWalker.h"
#include "platform/DisplayText.h"
#include "shell/QKFeature.h"

#include <algorithm>
#include <initializer_list>
#include <QFileInfo>

namespace {

using K = TamsoActionKind;

bool containsAny(const QString& q, std::initializer_list<const char*> keys) {
    return std::any_of(keys.begin(), keys.end(),
                       [&](const char* key) { return q.contains(QLatin1String(key)); });
}

TamsoMessage withOneAction(const QString& text, const char* label, const char* featureID) {
    return TamsoMessage::answer(text,
                                {TamsoAction::make(QString::fromUtf8(label),
                                                   QString::fromUtf8(featureID), K::OpenFeature)});
}

} // namespace

bool TamsoAssistant::namesProcess(const QString& q, const QString& key) {
    // A dash continues a program's own name ("systemd-journald" is not systemd), so a key matches
    // only where the name ends; a key ending in a dash ("systemd-") stands for its family. Other
    // separators mark a program's instances ("kworker/0:1", "mdworker_shared"), and a prefix
    // ("google-chrome") still names the program.
    const bool family = key.endsWith(QLatin1Char('-'));
    qsizetype from = 0;
    while ((from = q.indexOf(key, from)) >= 0) {
        const qsizetype end = from + key.size();
        // A number after the name is an instance too ("kswapd0", "tracker-miner-fs-3").
        const QStringView rest = QStringView(q).mid(end);
        const bool continues =
            !rest.isEmpty() &&
            (rest.front().isLetter() ||
             (rest.front() == QLatin1Char('-') && rest.size() > 1 && !rest.at(1).isDigit()));
        const bool startsName = from == 0 || !q.at(from - 1).isLetterOrNumber();
        const bool endsName = family || !continues;
        // "systemd --user" is its own entry, not the first process.
        const bool userInstance =
            !key.contains(QLatin1Char(' ')) && q.mid(end).startsWith(QLatin1String(" --"));
        if (startsName && endsName && !userInstance)
            return true;
        from = end;
    }
    return false;
}

QString TamsoAssistant::describeScreen(const QString& featureTitle,
                                       const std::optional<QString>& detail) {
    if (!detail || detail->isEmpty())
        return featureTitle;
    return featureTitle + QStringLiteral(" — ") + *detail;
}

QString TamsoAssistant::sentenceEnd(const QString& text) {
    // A title such as "Where did it go?" already ends its sentence.
    if (text.endsWith(QLatin1Char('?')) || text.endsWith(QLatin1Char('!')) ||
        text.endsWith(QLatin1Char('.')) || text.endsWith(QChar(0x2026)))
        return text;
    return text + QLatin1Char('.');
}

std::optional<TamsoMessage> TamsoAssistant::safetyAnswer(const QString& q) {
    const bool caches = containsAny(q, {"cache", "caches"});
    const bool passwords = containsAny(q, {"password", "passwords", "credential", "credentials"});
    // The keyring is this system's keychain; people ask with either word.
    const bool keychain = containsAny(q, {"keychain", "keyring"});
    const bool documents =
        containsAny(q, {"document", "documents", "photo", "photos", "my files", "my file"});
    const bool deleteWord = containsAny(q, {"delete", "clear", "wipe", "remove"});

    if (caches && (passwords || keychain)) {
        return withOneAction(
            QStringLiteral("No. App caches are temporary files apps rebuild on their own. Saved "
                           "passwords live in the system keyring (and in your browser’s password "
                           "manager), not in ~/.cache. Clearing app caches does not delete "
                           "keyring passwords, browser passwords, or synced passwords."),
            "Open Storage", "disk");
    }
    if (caches) {
        if (containsAny(q, {"safe", "will it", "what happens", "lose", "delete my"})) {
            return withOneAction(
                QStringLiteral("Clearing app caches is generally safe. Apps recreate them as "
                               "needed. You do not lose documents, photos, mail, or passwords. "
                               "The first launch after clearing may feel a little slower while "
                               "caches rebuild. Pendrel measures and previews before anything "
                               "goes to the Trash."),
                "Open Storage", "disk");
        }
    } else if (keychain) {
        if (!deleteWord)
            return std::nullopt;
        return withOneAction(
            QStringLiteral("Pendrel’s cleaners do not touch the keyring. Passwords, certificates "
                           "and secure notes stay where the system put them. The Privacy Centre "
                           "Vault stores extra secrets you choose to save there — clearing "
                           "caches still won’t remove those."),
            "Open Privacy Centre", "vault");
    }
    if (documents && deleteWord && containsAny(q, {"will", "does", "safe", "lose"})) {
        return withOneAction(
            QStringLiteral("Pendrel does not silently delete your documents or photos. Cleaners "
                           "only offer measured categories (caches, logs, Trash, and similar), "
                           "preview what would go, and send items to the Trash so you can undo. "
                           "Your Documents, Pictures and Desktop are left alone unless you pick "
                           "a specific file yourself."),
            "Open Storage", "disk");
    }
    return std::nullopt;
}

const QStringList& TamsoAssistant::findPhrases() {
    static const QStringList phrases = {
        QStringLiteral("find "),        QStringLiteral("search "),
        QStringLiteral("show me"),      QStringLiteral("where is"),
        QStringLiteral("where are"),    QStringLiteral("look for"),
        QStringLiteral("photo with"),   QStringLiteral("photos with"),
        QStringLiteral("image with"),   QStringLiteral("images with"),
        QStringLiteral("picture with"), QStringLiteral("pictures with"),
        QStringLiteral("file about"),   QStringLiteral("files about"),
    };
    return phrases;
}

bool TamsoAssistant::hasStrongCatalogTrigger(const QString& q) {
    const QKFeature* feature = QKFeature::bestMatch(q);
    if (!feature)
        return false;
    qsizetype longest = 0;
    for (const QString& trigger : feature->triggers) {
        if (QKFeature::matchesTrigger(q, trigger))
            longest = std::max(longest, DisplayText::perceivedLength(trigger));
    }
    return longest >= 8;
}

QString TamsoAssistant::batteryText(const SystemSnapshot& snapshot) {
    if (!snapshot.batteryPercent)
        return QStringLiteral("This Mac has no battery, so nothing to worry about there.");
    QString text = QStringLiteral("Battery is at %1%").arg(*snapshot.batteryPercent);
    if (snapshot.batteryCharging)
        text += QStringLiteral(" and on power");
    text += QLatin1Char('.');
    if (snapshot.batteryHealthPercent)
        text += QStringLiteral(" Health is %1% of its original capacity.")
                    .arg(*snapshot.batteryHealthPercent);
    if (snapshot.batteryCycles)
        text += QStringLiteral(" It has done %1 charge cycles; makers rate most batteries for "
                               "about 1000.")
                    .arg(*snapshot.batteryCycles);
    return text;
}

TamsoMessage TamsoAssistant::quitAnswer(const std::optional<QString>& name) {
    QString text =
        QStringLiteral("Performance Autopilot can suggest apps that are open but not frontmost.");
    QList<TamsoAction> actions = {TamsoAction::make(QStringLiteral("Open Performance"),
                                                    QStringLiteral("performance"), K::OpenFeature)};
    if (name) {
        text += QStringLiteral(" Right now ") + *name +
                QStringLiteral(" is using the most memory. I can propose quitting it — you "
                               "approve first.");
        actions.append(TamsoAction::make(QStringLiteral("Propose quitting ") + *name,
                                         QStringLiteral("performance"), K::ProposeQuit, *name));
    }
    return TamsoMessage::answer(text, actions);
}

std::optional<TamsoAssistant::DeveloperTool>
TamsoAssistant::developerStorageTool(const QString& q) {
    const bool ollama = q.contains(QLatin1String("ollama"));
    const bool lmstudio = containsAny(q, {"lm studio", "lmstudio"});
    const bool docker = q.contains(QLatin1String("docker"));
    const bool model = containsAny(q, {"model", "models"});
    const bool sizeWord = containsAny(q, {"space", "size", "how much", "how many", "using",
                                          "take up", "taking", "gb", "disk", "storage", "large"});
    const bool big = !sizeWord && q.contains(QLatin1String("big"));

    bool answers = false;
    if (sizeWord)
        answers = ollama || lmstudio || docker || model;
    else if (ollama || lmstudio)
        answers = true;
    else if (docker)
        answers = big || model || q == QLatin1String("docker");
    else if (model)
        answers = big || containsAny(q, {"local ai", "ai model"});
    if (!answers)
        return std::nullopt;
    if (ollama)
        return DeveloperTool::Ollama;
    if (lmstudio)
        return DeveloperTool::LMStudio;
    if (docker)
        return DeveloperTool::Docker;
    return DeveloperTool::Ollama;
}

CleanCategory TamsoAssistant::developerCategory(DeveloperTool tool, const HomeLayout& home) {
    const auto row = [&](const char* id, const char* name, const QStringList& paths) {
        return TableRow::make(home, id, name, name, paths, false, true, TamsoSafety::CheckFirst,
                              "");
    };
    switch (tool) {
    case DeveloperTool::Docker:
        return row("dev-docker", "Docker data",
                   {QStringLiteral(".docker"),
                    QStringLiteral("Library/Containers/com.docker.docker/Data/vms"),
                    QStringLiteral("Library/Group Containers/group.com.docker")});
    case DeveloperTool::LMStudio:
        return row("dev-lmstudio", "LM Studio data",
                   {QStringLiteral("Library/Application Support/LM Studio"),
                    QStringLiteral(".cache/lm-studio")});
    case DeveloperTool::Ollama:
        break;
    }
    return row("dev-ollama", "Ollama models", {QStringLiteral(".ollama")});
}

TamsoAssistant::DeveloperFacts
TamsoAssistant::measureDeveloperStorage(DeveloperTool tool, const HomeLayout& home,
                                        const CategoryMeasure& measure) {
    DeveloperFacts facts;
    if (tool == DeveloperTool::Ollama) {
        const QString folder = home.map(QStringLiteral(".ollama"));
        facts.ollamaFolder = QFileInfo::exists(folder);
        if (!facts.ollamaFolder)
            return facts;
        facts.models = ollamaModelCount(folder);
    }
    facts.bytes = measure.measure(developerCategory(tool, home)).sizeBytes;
    return facts;
}

int TamsoAssistant::ollamaModelCount(const QString& ollamaFolder) {
    int count = 0;
    DirectoryWalker().walk(ollamaFolder + QStringLiteral("/models/manifests"),
                           [&](const DirectoryWalker::Entry& e) {
                               if (e.depth == 0)
                                   return DirectoryWalker::Action::Continue;
                               if (e.isHidden())
                                   return DirectoryWalker::Action::SkipChildren;
                               if (e.isFile())
                                   ++count;
                               return DirectoryWalker::Action::Continue;
                           });
    return count;
}

TamsoMessage TamsoAssistant::developerStorageAnswer(DeveloperTool tool,
                                                    const DeveloperFacts& facts) {
    const QString size = formatBytes(facts.bytes);
    // A tool whose data is only measured: the sentence for none, or its size between two parts.
    auto measured = [&](const QString& none, const QString& lead, const QString& rest,
                        const char* label) {
        return withOneAction(facts.bytes < 1 ? none : lead + size + rest, label, "devclean");
    };
    switch (tool) {
    case DeveloperTool::Docker:
        return measured(
            QStringLiteral("I don’t see measurable Docker data folders on this Mac right now."),
            QStringLiteral("Docker-related data on this Mac is about "),
            QStringLiteral(". That is mostly images, containers and the Docker VM disk. Prefer "
                           "reviewing it in Developer Centre (or Docker’s own prune) before "
                           "deleting."),
            "Open Developer Centre");
    case DeveloperTool::LMStudio:
        return measured(
            QStringLiteral("I don’t see measurable LM Studio model data on this Mac right now."),
            QStringLiteral("LM Studio data on this Mac is about "),
            QStringLiteral(". That includes models and cache. Review it under Developer Centre → "
                           "AI models before clearing."),
            "Open AI models");
    case DeveloperTool::Ollama:
        break;
    }
    if (!facts.ollamaFolder) {
        return withOneAction(
            QStringLiteral("I don’t see an Ollama folder on this Mac (~/.ollama). If you install "
                           "models with Ollama later, ask again and I’ll measure how much space "
                           "they use."),
            "Open Developer Centre", "devclean");
    }
    QString text;
    if (facts.models >= 1) {
        text = QStringLiteral("Ollama has %1 model%2 on this Mac, using about ")
                   .arg(facts.models)
                   .arg(facts.models == 1 ? QString() : QStringLiteral("s")) +
               size + QStringLiteral(" under ~/.ollama.");
    } else if (facts.bytes >= 1) {
        text = QStringLiteral("Ollama data on this Mac is about ") + size +
               QStringLiteral(" under ~/.ollama. I couldn’t count named models clearly — open "
                              "Developer Centre → AI models for the cleanup view.");
    } else {
        text = QStringLiteral("Ollama is installed, but I’m not seeing measurable model data yet "
                              "(about ") +
               size + QStringLiteral(").");
    }
    text += QStringLiteral(" Nothing is deleted until you choose it in Developer Centre.");
    return withOneAction(text, "Open AI models", "devclean");
}

std::optional<TamsoMessage>
TamsoAssistant::catalogAnswer(const QString& q, const SystemSnapshot& snapshot,
                              const std::optional<TamsoScreenContext>& screen) {
    const QKFeature* feature = QKFeature::bestMatch(q);
    if (!feature)
        return std::nullopt;
    QString reply = feature->repliesTo(q) ? feature->reply(snapshot) : feature->blurb;
    if (screen) {
        reply += QStringLiteral(" (You were looking at ") +
                 sentenceEnd(describeScreen(screen->featureTitle, screen->detail)) +
                 QStringLiteral(")");
    }
    if (reply.isEmpty())
        return std::nullopt;
    // Every answer is read in the chat, so a button opening the chat would do nothing.
    if (feature->id == QLatin1String("tamso"))
        return TamsoMessage::answer(reply);
    const QString label = feature->actionLabel.value_or(QStringLiteral("Open ") + feature->title);
    return TamsoMessage::answer(reply, {TamsoAction::make(label, feature->id, K::OpenFeature)});
}

const QList<std::pair<QString, QString>>& TamsoAssistant::processGlossary() {
    static const QList<std::pair<QString, QString>> glossary = {
        {QStringLiteral("windowserver"),
         QStringLiteral("WindowServer draws everything on your screen. High memory here usually "
                        "means lots of windows or an external display; it is normal and safe.")},
        {QStringLiteral("xorg"),
         QStringLiteral(
             "Xorg is the display server: it draws everything on your screen. High memory here "
             "usually means lots of windows or an external display; it is normal and safe.")},
        {QStringLiteral("xvfb"),
         QStringLiteral("Xvfb is a display server without a screen, used by tests and automated "
                        "tools to draw windows nobody sees. It ends with the tool that started "
                        "it.")},
        {QStringLiteral("xwayland"),
         QStringLiteral("Xwayland lets older apps draw on a Wayland desktop. Busy while such an "
                        "app is; it is normal and safe.")},
        {QStringLiteral("gnome-shell"),
         QStringLiteral("gnome-shell is the desktop itself: it draws the windows, the panel and "
                        "the animations. High memory here usually means lots of windows or an "
                        "external display; it is normal.")},
        {QStringLiteral("kwin"),
         QStringLiteral("KWin places and draws every window on a Plasma desktop. High use usually "
                        "means lots of windows or effects; it is normal and safe.")},
        {QStringLiteral("kernel_task"),
         QStringLiteral("kernel_task is macOS itself. It sometimes looks huge on purpose: it grabs "
                        "CPU to cool the machine down when things get hot. Never quit it (you "
                        "can't).")},
        {QStringLiteral("kworker"),
         QStringLiteral("kworker threads are the kernel itself doing background work for disks, "
                        "network and power. Short bursts are normal, and you can't quit them.")},
        {QStringLiteral("ksoftirqd"),
         QStringLiteral("ksoftirqd is the kernel handling interrupts, often network traffic. Busy "
                        "during big downloads, then it settles. You can't quit it.")},
        {QStringLiteral("kswapd"),
         QStringLiteral("kswapd is the kernel freeing memory by moving pages out. Busy when memory "
                        "is tight; quitting big apps calms it.")},
        {QStringLiteral("mds"),
         QStringLiteral("mds and mds_stores are Spotlight building its search index. Busy after "
                        "big file changes, then it settles.")},
        {QStringLiteral("mds_stores"),
         QStringLiteral("mds_stores is Spotlight's indexer storing its index. Busy after big file "
                        "changes, then it settles.")},
        {QStringLiteral("tracker-miner-fs"),
         QStringLiteral("tracker-miner-fs is the desktop's file search building its index. Busy "
                        "after big file changes, then it settles.")},
        {QStringLiteral("localsearch"),
         QStringLiteral("localsearch is the desktop's file search building its index. Busy after "
                        "big file changes, then it settles.")},
        {QStringLiteral("baloo_file"),
         QStringLiteral("baloo_file is Plasma's file search building its index. Busy after big "
                        "file changes, then it settles.")},
        {QStringLiteral("mdworker"),
         QStringLiteral("mdworker processes read your files so Spotlight can index them. Normal, "
                        "and they come and go.")},
        {QStringLiteral("tracker-extract"),
         QStringLiteral("tracker-extract reads your files so the desktop's search can index them. "
                        "Normal, and it comes and goes.")},
        {QStringLiteral("cloudd"),
         QStringLiteral("cloudd handles iCloud syncing. Busy when photos or files are uploading "
                        "or downloading.")},
        {QStringLiteral("bird"),
         QStringLiteral("bird is iCloud Drive's file sync engine. Activity means files are "
                        "syncing.")},
        {QStringLiteral("photoanalysisd"),
         QStringLiteral("photoanalysisd scans your photo library for faces and scenes, usually "
                        "overnight on power. Heavy for a while after importing lots of photos.")},
        {QStringLiteral("coreaudiod"),
         QStringLiteral("coreaudiod runs all sound on the Mac. Always present.")},
        {QStringLiteral("pipewire"),
         QStringLiteral("PipeWire runs all sound and screen sharing on this machine. Always "
                        "present.")},
        {QStringLiteral("pulseaudio"),
         QStringLiteral("PulseAudio runs all sound on this machine. Always present.")},
        {QStringLiteral("backupd"), QStringLiteral("backupd is Time Machine making a backup.")},
        {QStringLiteral("deja-dup"),
         QStringLiteral("deja-dup is the desktop's backup tool making a backup.")},
        {QStringLiteral("duplicity"),
         QStringLiteral("duplicity is the engine behind the desktop's backups, copying your files "
                        "to the backup drive.")},
        {QStringLiteral("timeshift"),
         QStringLiteral("Timeshift is taking a snapshot of the system. Busy for a while, then it "
                        "settles.")},
        {QStringLiteral("restic"), QStringLiteral("restic is a backup tool making a backup.")},
        {QStringLiteral("borg"), QStringLiteral("borg is a backup tool making a backup.")},
        {QStringLiteral("launchd"),
         QStringLiteral("launchd starts everything else on macOS. It is the first process and "
                        "always there.")},
        {QStringLiteral("systemd"),
         QStringLiteral("systemd starts everything else on this system. It is the first process "
                        "and always there.")},
        {QStringLiteral("systemd --user"),
         QStringLiteral("systemd --user starts and looks after the programs of your own session. "
                        "One runs for each signed-in user; it is normal.")},
        {QStringLiteral("systemd-journald"),
         QStringLiteral("systemd-journald collects the system's logs. Busy when a program writes "
                        "a lot of messages, then it settles.")},
        {QStringLiteral("systemd-udevd"),
         QStringLiteral("systemd-udevd sets up devices as they appear, such as USB drives and "
                        "displays. Short bursts are normal.")},
        {QStringLiteral("systemd-logind"),
         QStringLiteral("systemd-logind keeps track of who is signed in and handles the power "
                        "button and the lid. Tiny and normal.")},
        {QStringLiteral("systemd-resolved"),
         QStringLiteral("systemd-resolved looks up web addresses for every app. Busy with a lot "
                        "of network traffic; it is normal.")},
        {QStringLiteral("systemd-"),
         QStringLiteral("The systemd- programs are parts of systemd, each looking after one job "
                        "for the system. Normal and always there.")},
        {QStringLiteral("dbus-daemon"),
         QStringLiteral("dbus-daemon passes messages between programs and the desktop. Tiny and "
                        "normal.")},
        {QStringLiteral("dbus-broker"),
         QStringLiteral("dbus-broker passes messages between programs and the desktop. Tiny and "
                        "normal.")},
        {QStringLiteral("cc1plus"),
         QStringLiteral("cc1plus is the C++ compiler at work, started by a build. Heavy while it "
                        "compiles, and gone when the build ends.")},
        {QStringLiteral("cc1"),
         QStringLiteral("cc1 is the C compiler at work, started by a build. Heavy while it "
                        "compiles, and gone when the build ends.")},
        {QStringLiteral("clang"),
         QStringLiteral("clang is a C and C++ compiler at work, started by a build. Heavy while "
                        "it compiles, and gone when the build ends.")},
        {QStringLiteral("rustc"),
         QStringLiteral("rustc is the Rust compiler at work, started by a build. Heavy while it "
                        "compiles, and gone when the build ends.")},
        {QStringLiteral("cfprefsd"),
         QStringLiteral("cfprefsd reads and writes app settings. Tiny and normal.")},
        {QStringLiteral("dconf-service"),
         QStringLiteral("dconf-service reads and writes desktop and app settings. Tiny and "
                        "normal.")},
        {QStringLiteral("safari"),
         QStringLiteral("Safari's memory grows with open tabs. Closing tabs you are not using "
                        "frees it.")},
        {QStringLiteral("chrome"),
         QStringLiteral("Chrome is known for using a lot of memory, especially with many tabs and "
                        "extensions. Closing idle tabs helps the most.")},
        {QStringLiteral("chromium"),
         QStringLiteral("Chromium is known for using a lot of memory, especially with many tabs "
                        "and extensions. Closing idle tabs helps the most.")},
        {QStringLiteral("firefox"),
         QStringLiteral("Firefox's memory grows with open tabs. Closing tabs you are not using "
                        "frees it.")},
    };
    return glossary;
}

std::optional<TamsoMessage> TamsoAssistant::glossaryAnswer(const QString& q) {
    if (!containsAny(q, {"what is", "whats", "what's"}))
        return std::nullopt;
    const std::pair<QString, QString>* best = nullptr;
    for (const auto& entry : processGlossary()) {
        if (namesProcess(q, entry.first) && (!best || entry.first.size() > best->first.size()))
            best = &entry;
    }
    if (!best)
        return std::nullopt;
    return TamsoMessage::answer(best->second);
}

TamsoMessage TamsoAssistant::fallbackAnswer(const std::optional<TamsoScreenContext>& screen) {
    QString text = QStringLiteral("I can answer about speed, heat, memory, disk space, battery, "
                                  "screenshots, organising folders, duplicates, and what system "
                                  "processes are.");
    if (screen) {
        text += QStringLiteral(" You are on ") +
                describeScreen(screen->featureTitle, screen->detail) + QLatin1Char('.');
    }
    text += QStringLiteral(" Try: \"why is my Mac hot?\" or \"why is my Mac slow?\".");
    return TamsoMessage::answer(text);
}
