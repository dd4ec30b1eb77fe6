// pendrel-defaults: the settings tool that the tweaks run, over Pendrel's own store of settings
// domains in $XDG_CONFIG_HOME/Pendrel/defaults.d. See platform/DefaultsTool.h for the commands.
#include "platform/DefaultsDomains.h"
#include "platform/DefaultsTool.h"
#include "platform/HomeLayout.h"

#include <cstdio>
#include <QStringList>

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const DefaultsTool::Outcome outcome =
        DefaultsTool::run(arguments, DefaultsDomains::folderFor(HomeLayout::fromEnvironment()));
    std::fwrite(outcome.standardOutput.constData(), 1, size_t(outcome.standardOutput.size()),
                stdout);
    std::fwrite(outcome.standardError.constData(), 1, size_t(outcome.standardError.size()), stderr);
    return outcome.exitCode;
}
