#include "commands.h"
#include "ctlcommon.h"
#include "versioninfo.h"

#include <QApplication>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <memory>
#include <string>

namespace {

const char kUsage[] =
    "Usage:\n"
    "  tarvexctl show [--codepage CP] FILE.VR-12\n"
    "  tarvexctl resave IN.VR-12 OUT.VR-12\n"
    "  tarvexctl normalize [--form hex|decimal|w26] [--type ibutton|rf] VALUE...\n"
    "    normalize: each VALUE's 16-character MediaID on its own line. hex (the default) takes\n"
    "    8, 14 or 16 characters, --type giving 8's family; decimal is an RF card's printed\n"
    "    number (up to 4294967295), w26 its \"facility,card\" pair (or with ':' or '/').\n"
    "    A refused value's reason goes to stderr, and the status is 1.\n"
    "  tarvexctl import-csv FILE.VR-12 CSVFILE --mediaid N --lastname N --firstname N"
    " [--media-type T] [--media-form F] [--codepage CP]\n"
    "  tarvexctl import-db FILE.VR-12 --connect STRING --table T --mediaid COL --lastname COL"
    " --firstname COL [--media-type T] [--media-form F] [--codepage CP]\n"
    "  tarvexctl add-controller FILE.VR-12 --port N [--name TEXT] [--id N] [--code N]"
    " [--relay1 0-7] [--relay2 0-7] [--codepage CP]\n"
    "  tarvexctl query CONNECTION-STRING SQL\n"
    "  tarvexctl collect WORKSPACE.VR-12 [--seconds S] [--count N] [--alert-command CMD]\n"
    "  tarvexctl history [--folder DIR] [--workspace FILE.VR-12] [--from YYYY-MM-DD[THH:MM]]"
    " [--to YYYY-MM-DD[THH:MM]] [--port N]... [--match TEXT] [--unknown] [--persons] [--csv]"
    " [--count]\n"
    "  tarvexctl attendance [the options of history]\n"
    "    attendance: one row per person and local day (persons' registrations only): the first\n"
    "    and the last registration, the span between them (H:MM) and the count; a day with one\n"
    "    registration has span 0:00. --to takes in its whole day when no time is given.\n"
    "  tarvexctl report --pending | --retry-refused\n"
    "  tarvexctl --help | --version\n"
    "Exit status: 0 success, 1 failure, 2 wrong usage.\n";

bool isHelp(const std::string& word) {
    return word == "--help" || word == "-h" || word == "help";
}

} // namespace

int main(int argc, char** argv) {
    // collect hosts the controllers' controls, which are widgets; they are never shown, so
    // no display is needed (a site PC collects with nobody logged in).
    const bool collect = argc >= 2 && std::string(argv[1]) == "collect";
    if (collect && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app = collect
                                                ? std::make_unique<QApplication>(argc, argv)
                                                : std::make_unique<QCoreApplication>(argc, argv);

    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    const std::string command = argv[1];
    if (isHelp(command)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (command == "--version") {
        const CVersionInfo version = CVersionInfo::parse(CVersionInfo::versionText());
        std::printf("tarvexctl %s (build %s)\n", qPrintable(version.version),
                    qPrintable(version.build));
        return kExitOk;
    }
    const Args args(argv + 2, argv + argc);
    int (*const run)(const Args&) = command == "show"             ? runShowCommand
                                    : command == "resave"         ? runResaveCommand
                                    : command == "normalize"      ? runNormalizeCommand
                                    : command == "import-csv"     ? runImportCsvCommand
                                    : command == "import-db"      ? runImportDbCommand
                                    : command == "add-controller" ? runAddControllerCommand
                                    : command == "collect"        ? runCollectCommand
                                    : command == "history"        ? runHistoryCommand
                                    : command == "attendance"     ? runAttendanceCommand
                                    : command == "report"         ? runReportCommand
                                                                  : nullptr;
    const bool known = run || command == "query";
    // "tarvexctl show --help" as well as "tarvexctl --help".
    if (known && args.size() == 1 && args[0] == "--help") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (run)
        return run(args);
    if (known)
        return runQueryCommand(QCoreApplication::arguments().mid(2));
    std::fprintf(stderr, "tarvexctl: unknown %s '%s'\n%s", isOption(command) ? "option" : "command",
                 command.c_str(), kUsage);
    return kExitUsage;
}
