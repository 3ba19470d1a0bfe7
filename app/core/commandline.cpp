#include "commandline.h"

#include "versioninfo.h"

namespace {
bool isHelp(const QString& a) {
    return a == QLatin1String("-h") || a == QLatin1String("--help") || a == QLatin1String("-?");
}
bool isVersion(const QString& a) {
    return a == QLatin1String("-v") || a == QLatin1String("--version");
}
} // namespace

CCommandLine CCommandLine::parse(const QStringList& arguments) {
    CCommandLine cl;
    bool optionsEnd = false;
    for (const QString& arg : arguments) {
        if (!optionsEnd && arg == QLatin1String("--")) {
            optionsEnd = true;
            continue;
        }
        if (!optionsEnd && arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            if (isHelp(arg)) {
                cl.action = Action::Help;
                return cl;
            }
            if (isVersion(arg)) {
                cl.action = Action::Version;
                return cl;
            }
            cl.action = Action::Error;
            cl.error = QStringLiteral("Unknown option '%1'.").arg(arg);
            return cl;
        }
        // One workspace at a time: the first file counts.
        if (cl.fileName.isEmpty())
            cl.fileName = arg;
    }
    return cl;
}

CCommandLine CCommandLine::quickParse(const QStringList& arguments) {
    CCommandLine cl;
    for (const QString& arg : arguments) {
        if (arg == QLatin1String("--"))
            break;
        if (isHelp(arg)) {
            cl.action = Action::Help;
            break;
        }
        if (isVersion(arg)) {
            cl.action = Action::Version;
            break;
        }
    }
    return cl;
}

QString CCommandLine::usage(const QString& program) {
    return QStringLiteral(
               "Usage: %1 [options] [file]\n"
               "Keeps the employees and VR-12 door controllers of a workspace and collects "
               "their registrations.\n"
               "\n"
               "Options:\n"
               "  -h, --help     Displays this help and exits.\n"
               "  -v, --version  Displays the version and exits.\n"
               "\n"
               "Arguments:\n"
               "  file           Workspace file (*.VR-12) to open. When Tarvex is already\n"
               "                 running, the running copy opens it and comes to the front.\n")
        .arg(program);
}

QString CCommandLine::versionLine() {
    const CVersionInfo v = CVersionInfo::parse(CVersionInfo::versionText());
    return QStringLiteral("Tarvex %1 (Build %2)\n").arg(v.version, v.build);
}
