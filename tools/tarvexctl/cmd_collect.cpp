#include "appsettings.h"
#include "collector.h"
#include "commands.h"
#include "ctlcommon.h"
#include "datafolder.h"
#include "tarvexdoc.h"
#include "terminationsignals.h"
#include "vr12commfactory.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSettings>
#include <QTimer>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

namespace {
const char kCollectUsage[] = "usage: tarvexctl collect WORKSPACE.VR-12 [--seconds S] [--count N] "
                             "[--alert-command CMD]";

// A positive number of seconds; 0 when the text is not one.
double parseSeconds(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value) || value <= 0)
        return 0;
    return value;
}
} // namespace

int runCollectCommand(const Args& args) {
    const QString usage = QString::fromLatin1(kCollectUsage);
    const std::string* file = nullptr;
    double seconds = 0;
    int count = 0;
    const std::string* alertCommand = nullptr;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--seconds" && i + 1 < args.size()) {
            seconds = parseSeconds(args[++i]);
            if (seconds <= 0)
                return fail(kExitUsage,
                            QStringLiteral("--seconds needs a positive number\n") + usage);
        } else if (args[i] == "--count" && i + 1 < args.size()) {
            const std::optional<int> n = parseColumn(args[++i]);
            if (!n || *n == 0)
                return fail(kExitUsage,
                            QStringLiteral("--count needs a positive whole number\n") + usage);
            count = *n;
        } else if (args[i] == "--alert-command" && i + 1 < args.size()) {
            alertCommand = &args[++i];
            if (QProcess::splitCommand(QString::fromLocal8Bit(*alertCommand)).isEmpty())
                return fail(kExitUsage,
                            QStringLiteral("--alert-command needs a program to run\n") + usage);
        } else if (!file && !isOption(args[i])) {
            file = &args[i];
        } else {
            return badArgument(args[i], {"--seconds", "--count", "--alert-command"}, usage);
        }
    }
    if (!file)
        return fail(kExitUsage, usage);

    CTarvexDoc doc;
    if (const int status = loadWorkspace(fileArg(*file), doc))
        return status;
    if (doc.Controllers().empty())
        return fail(kExitFailure, QStringLiteral("the workspace holds no controller"));

    // The desktop program's own settings, RegFilePath defaulting as it does.
    CAppSettings settings;
    {
        const auto store = CAppSettings::openStore();
        settings.load(*store, regFilePathDefault(QCoreApplication::applicationDirPath()));
    }

    // Signals first: a stop request while the ports open still ends the run cleanly.
    CTerminationSignals stop(nullptr, true);
    QObject::connect(&stop, &CTerminationSignals::received, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    CCollector collector(stdout, stderr);
    collector.SetLimit(count);
    collector.SetAlertRules(settings);
    collector.LinkCheck().setIntervalMinutes(settings.LinkCheckMinutes);
    if (alertCommand)
        collector.SetAlertCommand(QString::fromLocal8Bit(*alertCommand));
    QObject::connect(&collector, &CCollector::limitReached, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    collector.OpenReportingDatabase(settings, tarvexDataFolder());
    const int opened = collector.Open(doc, CVr12CommFactory::Program(), settings.RegFilePath);
    if (opened < 0)
        return kExitFailure;
    if (opened == 0) {
        collector.Close();
        return fail(kExitFailure, QStringLiteral("no controller port opened"));
    }
    std::fprintf(stderr, "tarvexctl: collecting from %d of %d controllers into %s\n", opened,
                 int(doc.Controllers().size()),
                 collector.RegistrationsFile().toLocal8Bit().constData());
    std::fflush(stderr);

    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, qApp, &QCoreApplication::quit);
    // Beyond what a timer holds (about 24 days) the run is as good as endless.
    if (seconds > 0 && seconds * 1000 < double(std::numeric_limits<int>::max()))
        deadline.start(int(std::ceil(seconds * 1000)));

    QCoreApplication::exec();
    collector.Close();
    return kExitOk;
}
