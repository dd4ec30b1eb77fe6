#include "assistant/TamsoMemory.h"

#include "platform/SymbolName.h"
#include "shell/ScanJob.h"

#include <algorithm>
#include <QFileInfo>

namespace {

const char* const kXcodePath = "Library/Developer/Xcode";

} // namespace

const QList<TamsoMemory::KnownTool>& TamsoMemory::knownTools() {
    static const QList<KnownTool> tools = {
        {".docker", "You use Docker", "Docker data found on this Mac.", "shippingbox"_sym.name},
        {".ollama", "You use Ollama", "Local AI models detected.", "brain"_sym.name},
        {"Library/Application Support/LM Studio", "You use LM Studio", "LM Studio found.",
         "brain.head.profile"_sym.name},
        {".homebrew", "You use Homebrew", "Homebrew is installed.", "mug"_sym.name},
        {kXcodePath, "You use Xcode", "Xcode and its data are present.", "hammer"_sym.name},
        {".cursor", "You use Cursor", "Cursor editor detected.", "cursorarrow.rays"_sym.name},
        {".npm", "You use npm", "Node.js package cache found.",
         "chevron.left.forwardslash.chevron.right"_sym.name},
        {".cargo", "You use Rust", "Cargo cache found.", "gearshape.2"_sym.name},
        {".gradle", "You use Gradle", "Gradle cache found.", "gearshape.2"_sym.name},
    };
    return tools;
}

TamsoMemory::Observation TamsoMemory::noXcode() {
    return {QStringLiteral("no-xcode"), QStringLiteral("Xcode isn't used here"),
            QStringLiteral("Xcode doesn't run on this system, so its caches are skipped."),
            "xmark.circle"_sym};
}

TamsoMemory::TamsoMemory(HomeLayout home, QObject* parent)
    : QObject(parent), m_home(std::move(home)) {}

TamsoMemory* TamsoMemory::shared() {
    static TamsoMemory* const instance = new TamsoMemory(HomeLayout::fromEnvironment());
    return instance;
}

QList<TamsoMemory::Observation> TamsoMemory::observe(const HomeLayout& home) {
    const auto present = [&home](const char* relative) {
        return QFileInfo::exists(home.map(QString::fromUtf8(relative)));
    };
    QList<Observation> found;
    for (const KnownTool& tool : knownTools()) {
        if (present(tool.path))
            found.append({QString::fromUtf8(tool.path), QString::fromUtf8(tool.label),
                          QString::fromUtf8(tool.detail), QString::fromLatin1(tool.icon)});
    }
    if (!present(kXcodePath))
        found.append(noXcode());
    std::stable_sort(found.begin(), found.end(), [](const Observation& a, const Observation& b) {
        return a.label.compare(b.label, Qt::CaseSensitive) < 0;
    });
    return found;
}

void TamsoMemory::refresh(const HomeLayout& home, QPointer<TamsoMemory> memory) {
    ScanJob::runInPool([home, memory] {
        QList<Observation> found = observe(home);
        ScanJob::deliver(memory,
                         [found = std::move(found)](TamsoMemory* m) { m->setObservations(found); });
    });
}

void TamsoMemory::setObservations(const QList<Observation>& observations) {
    if (observations == m_observations)
        return;
    m_observations = observations;
    emit observationsChanged();
}
