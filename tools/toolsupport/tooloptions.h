#pragma once

// The options every command-line tool answers the same way. Usage texts end
// with a line feed.

#include <cstdio>
#include <cstring>

namespace tooloptions {

// --help (or -h) prints the usage on stdout, --version the tool's name and the
// project's version; either ends the run with status 0. Anywhere on the line,
// so that no option is ever taken for a file or an argument.
inline bool answered(const char* tool, const char* usage, int argc, char** argv, int* status) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            *status = 0;
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", tool, TARVEX_VERSION);
            *status = 0;
            return true;
        }
    }
    return false;
}

// "-x" or "--xyz"; "-1" is a number.
inline bool looksLikeOption(const char* arg) {
    const char c = arg[0] == '-' ? arg[1] : '\0';
    return c == '-' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Names the option on stderr, then the usage; returns the usage error status.
inline int unknownOption(const char* tool, const char* option, const char* usage) {
    std::fprintf(stderr, "%s: unknown option '%s'\n", tool, option);
    std::fputs(usage, stderr);
    return 2;
}

} // namespace tooloptions
