// The fixed catalog of sections, in sidebar and routing order. Order matters: bestMatch() gives
// ties to the earlier record ("memory pressure" goes to Home, not Performance).
#include "shell/FeatureReplies.h"
#include "shell/QKFeature.h"

#include "platform/SymbolName.h"

using G = QKCapabilityGroup;

namespace {

QList<QKFeature> makeCatalog() {
    QList<QKFeature> c;
    c.reserve(18);

    c.append({
        .id = QStringLiteral("dashboard"),
        .title = QStringLiteral("Home"),
        .icon = "house"_sym,
        .group = G::TamsoCore,
        .triggers = {"slow", "speed", "faster", "sluggish", "out of memory", "low memory",
                     "memory pressure", "how much ram", "how much memory", "ram usage",
                     "memory usage", "dashboard", "go home"},
        .blurb = {},
        .reply = &FeatureReplies::dashboard,
        .replyTriggers = {},
        .actionLabel = QStringLiteral("See what's using memory"),
        .legacyTitles = {"Dashboard"},
    });
    c.append({
        .id = QStringLiteral("tamso"),
        .title = QStringLiteral("Explain My Mac"),
        .icon = "sparkles"_sym,
        .group = G::TamsoCore,
        .triggers = {"why is my mac slow", "why is battery", "why did storage", "explain my mac",
                     "explain this", "explain why", "what is happening", "what should i do"},
        .blurb = QStringLiteral("Ask Pendrel anything about your Mac. Every answer comes from "
                                "live data on this machine — memory, CPU, heat, storage, battery "
                                "and processes."),
        // Its first phrase is the question the app itself suggests, so a question about
        // slowness is answered from live figures; its other phrases (storage, battery, a folder
        // from the file manager) are not about load, and get the blurb.
        .reply = &FeatureReplies::explain,
        .replyTriggers = {"why is my mac slow", "slow", "sluggish"},
        .actionLabel = QStringLiteral("Ask Pendrel"),
        .legacyTitles = {"Pendrel AI", "Pendrel"},
    });
    c.append({
        .id = QStringLiteral("tamso-memory"),
        .title = QStringLiteral("Pendrel Memory"),
        .icon = "brain.head.profile"_sym,
        .group = G::TamsoCore,
        .triggers = {"remember", "personalise", "personalize", "my setup", "what do you know"},
        .blurb = QStringLiteral("Pendrel learns which tools you use — Docker, Homebrew, Cursor — "
                                "so recommendations fit your workflow."),
        .reply = {},
        .replyTriggers = {},
        .actionLabel = QStringLiteral("See what Pendrel knows"),
        .legacyTitles = {},
    });
    c.append({
        .id = QStringLiteral("pendrel-timeline"),
        .title = QStringLiteral("Pendrel Timeline"),
        .icon = "clock.arrow.circlepath"_sym,
        .group = G::TamsoCore,
        .triggers = {"timeline", "history", "what did we do", "past actions", "remember what",
                     "search history"},
        .blurb = QStringLiteral("Search everything Pendrel explained, automated or approved — "
                                "your Mac maintenance memory, not a clipboard."),
        .reply = {},
        .replyTriggers = {},
        .actionLabel = QStringLiteral("Open Timeline"),
        .legacyTitles = {},
    });
    c.append({
        .id = QStringLiteral("disk"),
        .title = QStringLiteral("Storage"),
        .icon = "internaldrive"_sym,
        .group = G::Storage,
        .triggers = {"free up", "disk space", "free space", "out of space", "storage", "disk full",
                     "storage full", "drive full", "clean up", "clear caches", "app caches",
                     "mail attachment", "mailbox", "email taking", "mail taking", ".bak",
                     "database backup"},
        .blurb = {},
        .reply = &FeatureReplies::disk,
        .replyTriggers = {},
        .actionLabel = QStringLiteral("Understand storage"),
        .legacyTitles = {"Disk & Cleaner", "Disk and Cleaner"},
    });
    c.append({
        .id = QStringLiteral("folders"),
        .title = QStringLiteral("Browse Storage"),
        .icon = "folder"_sym,
        .group = G::Storage,
        .triggers = {"what is taking up", "which folder is big", "biggest folder", "folder sizes",
                     "how big is my", "browse my folders", "large file", "big file", "biggest file",
                     "huge file", "where did my disk go", "storage timeline"},
        .blurb =
            QStringLiteral("See where your disk space went — folder sizes the file manager "
                           "does not show, and the biggest single files in any folder you pick."),
        .reply = {},
        .replyTriggers = {},
        .actionLabel = QStringLiteral("Browse storage"),
        .legacyTitles = {"Folders"},
    });
    c.append({
        .id = QStringLiteral("duplicates"),
        .title = QStringLiteral("Duplicates"),
        .icon = "doc.on.doc"_sym,
        .group = G::Storage,
        .triggers = {"duplicate", "duplicates", "exact copies", "duplicate copies",
                     "duplicate files", "duplicate photos"},
        .blurb = QStringLiteral("Find exact duplicates and near-identical photos. Pendrel "
                                "explains what each copy is before anything goes to the Trash."),
        .reply = {},
        .replyTriggers = {},
        .actionLabel = std::nullopt,
        .legacyTitles = {"Duplicates"},
    });
    c.append({
        .id = QStringLiteral("uninstaller"),
        .title = QStringLiteral("Apps"),
        .icon = "app.badge"_sym,
        .group = G::Applications,
        .triggers = {"uninstall", "remove an app", "delete an app", "get rid of an app",
                     "application health", "forgotten app"},
        .blurb = QStringLiteral("Smart uninstall with confidence scores — see support files, "
                                "shared files and estimated recovery before you remove "
                                "anything."),
        .reply = {},
        .replyTriggers = {},
        .actionLabel = QStringLiteral("Review apps"),
        .legacyTitles = {"Uninstaller"},
    });
    c.append({
        .id = QStringLiteral("startup"),
        .title = QStringLiteral("Startup"),
        .icon = "power"_sym,
        .group = G::Applications,
        .triggers = {"startup", "login item", "login items", "starts up when", "at boot",
                     "boot time", "launch at login"},
        .blurb = QStringLiteral("See what launches when you log in. Every item costs startup "
                                "time and memory — Pendrel explains each one."),
        .reply = {},
        .replyTriggers = {},
        .actionLabel = std::nullopt,
        .legacyTitles = {},
    });
    c.append({
        .id = QStringLiteral("subscriptions"),
        .title = QStringLiteral("Subscriptions"),
        .icon = "creditcard"_sym,
        .group = G::Applications,
        .triggers = {"subscription", "paying for", "unused app", "annual cost", "waste money"},
        .blurb = QStringLiteral("Pendrel spots software you pay for but rarely open, and "
                                "services that overlap with what you already have."),
        .reply = {},
        .replyTriggers = {},
        .actionLabel = QStringLiteral("Review subscriptions"),
        .legacyTitles = {"Subscription Intelligence"},
    });
    c.append({
        .id = QStringLiteral("devclean"),
        .title = QStringLiteral("Developer"),
        .icon = "hammer"_sym,
        .group = G::Developer,
        .triggers = {"derived data",
                     "node_modules",
                     "node project",
                     "node projects",
                     "npm cache",
                     "yarn cache",
                     "pnpm cache",
                     "bun cache",
                     "xcode",
                     "build folder",
                     "developer junk",
                     "cocoapods",
                     "gradle cache",
                     "clean docker",
                     "docker cleanup",
                     "clean ollama",
                     "ollama cleanup",
                     "lm studio",
                     "homebrew",
                     "cargo cache",
                     "maven cache",
                     "uv cache",
                     "npm",
                     "pnpm",
                     "keep awake",
                     "prevent sleep",
                     "don't sleep",
                     "dont sleep",
                     "caffeinate",
                     "open claw",
                     "openclaw",
                     "agent job",
                     "why did my mac sleep",
                     "developer centre",
                     "developer center",
                     "dev cleanup"},
        .blurb = QStringLiteral(
            "Developer cleanup plus Keep Awake for long agent jobs, builds and downloads."),
        .reply = &FeatureReplies::devClean,
        .replyTriggers = {},
        .actionLabel = QStringLiteral("Open Developer Centre"),
        .legacyTitles = {"Dev Cleanup", "Developer Cleanup"},
    });
    c.append({
        .id = QStringLiteral("compare"),
        .title = QStringLiteral("Compare"),
        .icon = "arrow.left.arrow.right.square"_sym,
        .group = G::Developer,
        .triggers = {"compare", "diff", "compare files", "file diff", "diff files",
                     "difference between", "what changed between"},
        .blurb = QStringLiteral(
            "Drop two files in and see exactly what differs, explained in plain English."),
        .reply = {},
        .replyTriggers = {},
        .actionLabel = std::nullopt,
        .legacyTitles = {},
    });
    c.append({
        .id = QStringLiteral("vault"),
        .title = QStringLiteral("Privacy"),
        .icon = "hand.raised.shield"_sym,
        .group = G::Privacy,
        .triggers = {"vault", "secure note", "secure notes", "privacy centre", "privacy center",
                     "api key", "ssh key", "password vault", "store a password", "store passwords",
                     "save a password"},
        .blurb = QStringLiteral("Find sensitive files in the wrong place and move them into the "
                                "Vault. Pendrel watches for API keys, SSH keys and private "
                                "documents."),
        .reply = {},
        .replyTriggers = {},
        .actionLabel = QStringLiteral("Open Privacy Centre"),
        .legacyTitles = {"Vault"},
    });
    c.append({
        .id = QStringLiteral("performance"),
        .title = QStringLiteral("Performance"),
        .icon = "speedometer"_sym,
        .group = G::Performance,
        .triggers = {"performance",
                     "cpu high",
                     "memory pressure",
                     "why is it slow",
                     "fans",
                     "fan noise",
                     "fan spinning",
                     "my fans",
                     "why are my fans",
                     "heat",
                     "temperature",
                     "thermal",
                     "overheat",
                     "overheating",
                     "running hot",
                     "running warm",
                     "mac is hot",
                     "mac is warm",
                     "why is my mac hot",
                     "why is my mac running hot",
                     "feels hot",
                     "feels warm",
                     "fan monitor",
                     "sensor monitor",
                     "temperature sensor"},
        .blurb = QStringLiteral("Live explanations of CPU, memory, heat, sensors and fans — with "
                                "reasons, not just numbers."),
        .reply = &FeatureReplies::performance,
        .replyTriggers = {},
        .actionLabel = QStringLiteral("See performance"),
        .legacyTitles = {},
    });
    c.append({
        .id = QStringLiteral("automation"),
        .title = QStringLiteral("Automation"),
        .icon = "clock.arrow.2.circlepath"_sym,
        .group = G::Automation,
        .triggers = {"automate", "automation", "schedule cleanup", "scheduled cleanup",
                     "weekly cleanup", "every week", "automatically", "every friday"},
        .blurb = QStringLiteral("Set Pendrel to maintain your Mac on a schedule — empty old "
                                "downloads, clean dev caches, alert when storage is full, prune "
                                "Docker."),
        .reply = {},
        .replyTriggers = {},
        .actionLabel = QStringLiteral("Open Automation"),
        .legacyTitles = {},
    });
    c.append({
        .id = QStringLiteral("health-report"),
        .title = QStringLiteral("Health Report"),
        .icon = "chart.bar.doc.horizontal"_sym,
        .group = G::Reports,
        .triggers = {"health report", "weekly report", "how is my mac", "mac health"},
        .blurb = QStringLiteral("A summary of storage, performance, battery and recovery "
                                "potential — updated whenever you open it."),
        .reply = {},
        .replyTriggers = {},
        .actionLabel = QStringLiteral("View health report"),
        .legacyTitles = {"Weekly Health Report"},
    });
    c.append({
        .id = QStringLiteral("tweaks"),
        .title = QStringLiteral("Tweaks"),
        .icon = "slider.horizontal.3"_sym,
        .group = G::More,
        .triggers = {"tweak", "hidden setting", "dock setting", "finder setting"},
        .blurb = QStringLiteral("Hidden Mac settings, each explained in plain English and kept "
                                "in Pendrel's own store, reversible with one switch."),
        .reply = {},
        .replyTriggers = {},
        .actionLabel = std::nullopt,
        .legacyTitles = {},
    });
    c.append({
        .id = QStringLiteral("about"),
        .title = QStringLiteral("About"),
        .icon = "info.circle"_sym,
        .group = G::More,
        .triggers = {},
        .blurb = {},
        .reply = {},
        .replyTriggers = {},
        .actionLabel = std::nullopt,
        .legacyTitles = {},
    });
    return c;
}

} // namespace

const QList<QKFeature>& QKFeature::all() {
    static const QList<QKFeature> catalog = makeCatalog();
    return catalog;
}
