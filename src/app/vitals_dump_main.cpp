// vitals-dump: prints one sample of this machine (or of fixture roots) as JSON, for comparing
// the sampler's figures with free, df, the power-supply files and sensors.
#include "vitals/SnapshotJson.h"
#include "vitals/SystemStatsSampler.h"

#include <cstdio>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonDocument>
#include <QThread>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vitals-dump"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints one vitals sample as JSON. Two readings are taken --interval milliseconds apart "
        "so that the CPU figures cover that interval."));
    parser.addHelpOption();
    const QCommandLineOption proc(QStringLiteral("proc"), QStringLiteral("The /proc root."),
                                  QStringLiteral("path"), QStringLiteral("/proc"));
    const QCommandLineOption sys(QStringLiteral("sys"), QStringLiteral("The /sys root."),
                                 QStringLiteral("path"), QStringLiteral("/sys"));
    const QCommandLineOption home(QStringLiteral("home"),
                                  QStringLiteral("The folder whose volume is measured."),
                                  QStringLiteral("path"));
    const QCommandLineOption interval(QStringLiteral("interval"),
                                      QStringLiteral("Milliseconds between the two readings "
                                                     "(0 takes one reading)."),
                                      QStringLiteral("ms"), QStringLiteral("1000"));
    parser.addOptions({proc, sys, home, interval});
    parser.process(app);

    SamplerEnvironment env = SamplerEnvironment::live();
    env.procRoot = parser.value(proc);
    env.sysRoot = parser.value(sys);
    if (parser.isSet(home))
        env.homePath = parser.value(home);
    bool ok = false;
    const int waitMs = parser.value(interval).toInt(&ok);
    if (!ok || waitMs < 0) {
        std::fprintf(stderr, "vitals-dump: --interval needs a whole number of milliseconds\n");
        return 2;
    }

    SystemStatsSampler sampler(env);
    SystemSnapshot snapshot = sampler.takeSample();
    if (waitMs > 0) {
        QThread::msleep(ulong(waitMs));
        snapshot = sampler.takeSample();
    }
    const QByteArray json = QJsonDocument(snapshotToJson(snapshot)).toJson(QJsonDocument::Indented);
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return 0;
}
