#include "silentprompts.h"

#include <cstdio>

IUserPrompts::Answer CSilentPrompts::askSaveChanges(const QString&) {
    return No;
}

QString CSilentPrompts::openFileName(const QString&) {
    return {};
}

QString CSilentPrompts::saveFileName(const QString&, const QString&) {
    return {};
}

void CSilentPrompts::stop(const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(text));
}
