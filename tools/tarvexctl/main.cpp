#include "commands.h"
#include "ctlcommon.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <string>

namespace {

const char kUsage[] =
    "Usage:\n"
    "  tarvexctl show [--codepage CP] FILE.VR-12\n"
    "  tarvexctl resave IN.VR-12 OUT.VR-12\n"
    "  tarvexctl normalize [--media-type ibutton|rf|magnetic] FIELD...\n"
    "  tarvexctl import-csv FILE.VR-12 CSVFILE --mediaid N --lastname N --firstname N"
    " [--media-type T] [--codepage CP]\n"
    "  tarvexctl add-controller FILE.VR-12 --port N [--name TEXT] [--id N] [--code N]"
    " [--relay1 0-7] [--relay2 0-7] [--codepage CP]\n"
    "  tarvexctl query CONNECTION-STRING SQL\n";

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);

    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    const Args args(argv + 2, argv + argc);
    if (command == "show")
        return runShowCommand(args);
    if (command == "resave")
        return runResaveCommand(args);
    if (command == "normalize")
        return runNormalizeCommand(args);
    if (command == "import-csv")
        return runImportCsvCommand(args);
    if (command == "add-controller")
        return runAddControllerCommand(args);
    if (command == "query")
        return runQueryCommand(QCoreApplication::arguments().mid(2));
    std::fprintf(stderr, "tarvexctl: unknown command '%s'\n%s", command.c_str(), kUsage);
    return kExitUsage;
}
