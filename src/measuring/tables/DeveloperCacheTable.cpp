#include "measuring/CleanCategory.h"
#include "measuring/tables/TableRow.h"

QList<CleanCategory> CleanCategory::devCategories(const HomeLayout& l) {
    using S = TamsoSafety;
    const char* rebuild = "Will rebuild automatically if needed.";
    QList<CleanCategory> t;
    t << TableRow::make(l, "dev-derived", "Xcode build files (DerivedData)",
                        "Rebuilt automatically next time you build. Often the biggest win.",
                        {"Library/Developer/Xcode/DerivedData"}, true, true, S::Safe,
                        "Will rebuild on the next Xcode build.");
    t << TableRow::make(l, "dev-xcodecache", "Xcode caches",
                        "Xcode's own temporary files. Regenerated as you work.",
                        {"Library/Caches/com.apple.dt.Xcode"}, true, false, S::Safe, rebuild);
    t << TableRow::make(l, "dev-devicesupport", "iOS device support files",
                        "Debug symbols for old iOS versions.",
                        {"Library/Developer/Xcode/iOS DeviceSupport"}, true, true, S::Safe,
                        "Re-downloaded when you next plug that device in.");
    t << TableRow::make(l, "dev-simcache", "Simulator caches",
                        "Simulator temporary files, not your simulators or their content.",
                        {"Library/Developer/CoreSimulator/Caches"}, true, false, S::Safe, rebuild);
    t << TableRow::make(
        l, "dev-archives", "Xcode archives",
        "Your archived release builds. Only clear if you no longer need old builds.",
        {"Library/Developer/Xcode/Archives"}, false, true, S::CheckFirst,
        "Old App Store / TestFlight builds live here.");
    // Here ~/.docker holds the CLI's registry logins, contexts and plugins, not images: emptying
    // it would break the docker command. The row cleans only Docker Desktop's virtual machine
    // data, which is where images, containers and volumes live.
    t << TableRow::make(
        l, "dev-docker", "Docker data", "Images, containers and volumes Docker keeps on this Mac.",
        {".docker/desktop/vms", "Library/Containers/com.docker.docker/Data/vms"}, false, true,
        S::CheckFirst, "Unused images can be huge. Prefer Docker's own prune when unsure.");
    t << TableRow::make(
        l, "dev-ollama", "Ollama models",
        "Local AI models downloaded by Ollama. Leaves your Ollama identity key alone.",
        {".ollama/models", ".ollama/blobs", ".ollama/manifests", ".ollama/cache"}, false, true,
        S::CheckFirst,
        "Models re-download if you pull them again. Your Ollama key (~/.ollama/id_ed25519) is "
        "kept.");
    t << TableRow::make(l, "dev-lmstudio", "LM Studio data", "Models and cache used by LM Studio.",
                        {"Library/Application Support/LM Studio", ".cache/lm-studio"}, false, true,
                        S::CheckFirst, "Models re-download if you need them again.");
    t << TableRow::make(l, "dev-brew", "Homebrew cache",
                        "Downloaded install files. Brew re-downloads anything it needs.",
                        {"Library/Caches/Homebrew"}, true, false, S::Safe,
                        "Will re-download on the next brew install.");
    t << TableRow::make(l, "dev-npm", "npm cache", "Downloaded packages. npm re-fetches on demand.",
                        {".npm/_cacache"}, true, false, S::Safe, rebuild);
    t << TableRow::make(l, "dev-yarn", "Yarn cache",
                        "Downloaded packages. Yarn re-fetches on demand.", {"Library/Caches/Yarn"},
                        true, false, S::Safe, rebuild);
    t << TableRow::make(l, "dev-pnpm", "pnpm store", "pnpm's global content-addressable store.",
                        {"Library/pnpm", ".local/share/pnpm/store", ".pnpm-store"}, true, true,
                        S::Safe, "Will re-fetch packages on the next install.");
    t << TableRow::make(l, "dev-bun", "Bun cache", "Downloaded packages for Bun projects.",
                        {".bun/install/cache"}, true, false, S::Safe, rebuild);
    t << TableRow::make(l, "dev-node-modules", "node_modules folders",
                        "Dependency folders under ~/Developer, Projects, src, code and work "
                        "(shallow search).",
                        {}, false, true, S::CheckFirst, "Restored with npm/yarn/pnpm/bun install.");
    t.last().locations = l.projectFolders();
    t.last().searchesUserFolders = true;
    t.last().matchFolderNames = {QStringLiteral("node_modules")};
    t.last().maxSearchDepth = 4;
    t << TableRow::make(l, "dev-pods", "CocoaPods cache",
                        "Downloaded pods. Re-fetched on the next pod install.",
                        {"Library/Caches/CocoaPods"}, true, false, S::Safe, rebuild);
    t << TableRow::make(l, "dev-swiftpm", "Swift Package Manager cache",
                        "Downloaded packages. Re-fetched on the next resolve.",
                        {"Library/Caches/org.swift.swiftpm"}, true, false, S::Safe, rebuild);
    t << TableRow::make(l, "dev-gradle", "Gradle caches",
                        "Android/Java build caches. Rebuilt on the next build.", {".gradle/caches"},
                        true, true, S::Safe, rebuild);
    t << TableRow::make(l, "dev-maven", "Maven repository cache",
                        "Downloaded Java artifacts in ~/.m2.", {".m2/repository"}, false, true,
                        S::CheckFirst, "Re-fetched on the next Maven build.");
    t << TableRow::make(l, "dev-pip", "pip cache",
                        "Downloaded Python packages. Re-fetched on demand.", {"Library/Caches/pip"},
                        true, false, S::Safe, rebuild);
    t << TableRow::make(l, "dev-uv", "uv cache", "Python packages cached by uv.",
                        {".cache/uv", "Library/Caches/uv"}, true, false, S::Safe, rebuild);
    t << TableRow::make(l, "dev-gobuild", "Go build cache",
                        "Go compile cache. Rebuilt on the next build.", {"Library/Caches/go-build"},
                        true, false, S::Safe, rebuild);
    t << TableRow::make(l, "dev-cargo", "Rust Cargo cache",
                        "Downloaded crates. Re-fetched on the next cargo build.",
                        {".cargo/registry/cache"}, true, false, S::Safe, rebuild);
    t << TableRow::make(l, "dev-android", "Android Studio caches",
                        "Caches and temp files from Android Studio — not your SDK projects.",
                        {"Library/Caches/Google/AndroidStudio2024.1",
                         "Library/Caches/Google/AndroidStudio2024.2",
                         "Library/Caches/Google/AndroidStudio2025.1",
                         "Library/Caches/Google/AndroidStudio2023.3", "Library/Android/sdk/.temp"},
                        true, false, S::Safe, rebuild);
    return CleanCategories::withIgnoredVariables(l, std::move(t));
}
