#pragma once

#include "tarvexapp.h"
#include "userprompts.h"

#include <QStringList>

#include <memory>

// The application object as a test starts it: its own program folder, the command line given
// and prompts that answer from a script.
inline std::unique_ptr<CTarvexApp> makeTestApp(const QString& programFolder, IUserPrompts& prompts,
                                               const QStringList& args = {}) {
    auto app = std::make_unique<CTarvexApp>();
    app->setProgramFolder(programFolder);
    app->setArguments(args);
    app->setPrompts(&prompts);
    return app;
}
