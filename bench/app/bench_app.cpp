// Figures of the program: start-up to the shown main window with an empty workspace, and
// Save of a workspace of 100,000 employees through the program's File Save path.
#include "documentflow.h"
#include "mainframe.h"
#include "silentprompts.h"
#include "tarvexapp.h"
#include "tarvexdoc.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
void setEnv(const char* name, const QString& value) {
    ::setenv(name, QFile::encodeName(value).constData(), 1);
}

double ms(qint64 ns) {
    return double(ns) / 1e6;
}

void report(const char* what, std::vector<double> v, double limit) {
    std::sort(v.begin(), v.end());
    std::printf("%-52s min %8.2f ms  median %8.2f ms  max %8.2f ms  (target < %.0f ms, %zu runs)\n",
                what, v.front(), v[v.size() / 2], v.back(), limit, v.size());
}

// One start: constructs the application object and runs the start-up until the main window
// is exposed. Returns nanoseconds; leaves the app running for the caller.
qint64 startOnce(CTarvexApp& app, const QString& folder, CSilentPrompts& prompts) {
    QElapsedTimer t;
    t.start();
    app.setProgramFolder(folder);
    app.setArguments({});
    app.setPrompts(&prompts);
    if (!app.InitInstance()) {
        std::fprintf(stderr, "start-up failed\n");
        std::exit(1);
    }
    if (!QTest::qWaitForWindowExposed(app.mainFrame())) {
        std::fprintf(stderr, "main window not shown\n");
        std::exit(1);
    }
    return t.nsecsElapsed();
}

void stop(CTarvexApp& app) {
    app.Exit();
    while (app.mainFrame())
        QCoreApplication::processEvents();
    app.ExitInstance();
}
} // namespace

int main(int argc, char** argv) {
    QElapsedTimer processClock;
    processClock.start();
    QTemporaryDir world;
    for (const char* sub : {"config", "data", "runtime", "program"})
        QDir(world.path()).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(world.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setEnv("XDG_CONFIG_HOME", world.filePath(QStringLiteral("config")));
    setEnv("XDG_DATA_HOME", world.filePath(QStringLiteral("data")));
    setEnv("XDG_RUNTIME_DIR", world.filePath(QStringLiteral("runtime")));
    setEnv("QT_QPA_PLATFORM", QStringLiteral("offscreen"));
    const QString folder = world.filePath(QStringLiteral("program"));

    QApplication qapp(argc, argv);
    CSilentPrompts prompts;

    // The first start of the process pays for fonts, styles and pictures once.
    std::vector<double> first, again;
    {
        CTarvexApp app;
        startOnce(app, folder, prompts);
        first.push_back(double(processClock.nsecsElapsed()) / 1e6);
        stop(app);
    }
    for (int i = 0; i < 10; ++i) {
        CTarvexApp app;
        again.push_back(ms(startOnce(app, folder, prompts)));
        stop(app);
    }
    std::printf("offscreen platform\n");
    report("start-up, first in process (from main())", first, 500);
    report("start-up, later starts (InitInstance to shown)", again, 500);

    // Save of 100,000 employees through File Save of the program.
    CTarvexApp app;
    startOnce(app, folder, prompts);
    CTarvexDoc* doc = app.document();
    for (int i = 0; i < 100000; ++i) {
        char id[17];
        std::snprintf(id, sizeof id, "%02X%012X01", (i * 37) & 0xFF, i);
        doc->InsertEmployee(id, CEmpRecord{"Lastname" + std::to_string(i), "Firstname"});
    }
    const QString file = world.filePath(QStringLiteral("big.VR-12"));
    std::vector<double> saves;
    for (int i = 0; i < 7; ++i) {
        doc->SetModifiedFlag(true);
        QElapsedTimer t;
        t.start();
        const bool ok =
            i == 0 ? app.documentFlow()->DoSave(file) : app.documentFlow()->OnFileSave();
        saves.push_back(ms(t.nsecsElapsed()));
        if (!ok || doc->IsModified()) {
            std::fprintf(stderr, "save failed\n");
            return 1;
        }
    }
    report("Save of 100,000 employees (File Save)", saves, 500);
    std::printf("file size %lld bytes\n", QFileInfo(file).size());
    doc->SetModifiedFlag(false);
    stop(app);
    return 0;
}
