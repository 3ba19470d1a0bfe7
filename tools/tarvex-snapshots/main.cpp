// tarvex-snapshots OUTDIR [WORKSPACE]: renders the main window in each visual style, the
// splash window and the dialogs to PNG files, on the offscreen platform and with settings of
// its own, so the user's settings are never touched.
#include "aboutdlg.h"
#include "mainframe.h"
#include "mainpanes.h"
#include "silentprompts.h"
#include "skin.h"
#include "splashdlg.h"
#include "tarvexapp.h"
#include "termview.h"
#include "tooloptions.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

namespace {
const char kUsage[] =
    "usage: tarvex-snapshots OUTDIR [WORKSPACE]\n"
    "       tarvex-snapshots --help | --version\n"
    "Renders the main window in each visual style, the splash and the dialogs to PNG\n"
    "files in OUTDIR, with settings of its own.\n";

bool save(QWidget* w, const QString& file) {
    QApplication::processEvents();
    const bool ok = w->grab().save(file);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(file));
    return ok;
}
} // namespace

int main(int argc, char** argv) {
    if (int status = 0; tooloptions::answered("tarvex-snapshots", kUsage, argc, argv, &status))
        return status;
    // An option is never taken for a folder to write into.
    for (int i = 1; i < argc; ++i)
        if (tooloptions::looksLikeOption(argv[i]))
            return tooloptions::unknownOption("tarvex-snapshots", argv[i], kUsage);
    if (argc < 2 || argc > 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    QTemporaryDir world;
    if (!world.isValid())
        return 1;
    for (const char* sub : {"config", "data", "runtime"})
        QDir(world.path()).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(world.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ::setenv("XDG_CONFIG_HOME", QFile::encodeName(world.filePath(QStringLiteral("config"))), 1);
    ::setenv("XDG_DATA_HOME", QFile::encodeName(world.filePath(QStringLiteral("data"))), 1);
    ::setenv("XDG_RUNTIME_DIR", QFile::encodeName(world.filePath(QStringLiteral("runtime"))), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The controller forms open their ports: every COM port leads nowhere, so no serial device
    // of this machine is touched and the forms show their failed link.
    const QString devices = world.filePath(QStringLiteral("devices"));
    QDir().mkpath(devices);
    for (int port = 1; port <= 255; ++port)
        QFile::link(world.filePath(QStringLiteral("no-device")),
                    devices + QStringLiteral("/COM%1").arg(port));
    ::setenv("VR12COMM_DEVICES", QFile::encodeName(devices), 1);

    QApplication qapp(argc, argv);
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    const QDir out(outDir);

    CSilentPrompts prompts;
    CTarvexApp app;
    app.setPrompts(&prompts);
    app.setProgramFolder(world.filePath(QStringLiteral("data")));
    QStringList args;
    if (argc > 2)
        args << QString::fromLocal8Bit(argv[2]);
    app.setArguments(args);
    if (!app.InitInstance()) {
        std::fprintf(stderr, "the program did not start\n");
        app.ExitInstance();
        return 1;
    }

    bool ok = true;
    CMainFrame* frame = app.mainFrame();
    frame->resize(1000, 700);
    // The first controller's form in the controller pane.
    if (CMainPanes* panes = CMainPanes::Instance())
        panes->termView()->selectRow(0);
    const char* styles[] = {"officexp", "office2003", "simple"};
    for (int style = 0; style < 3; ++style) {
        CSkin::apply(style);
        frame->commands().updateAll();
        ok &= save(
            frame,
            out.filePath(QStringLiteral("main-window-%1.png").arg(QLatin1String(styles[style]))));
    }
    CSkin::apply(0);
    ok &= save(app.splash(), out.filePath(QStringLiteral("splash.png")));

    {
        CAboutDlg about(frame);
        about.show();
        ok &= save(&about, out.filePath(QStringLiteral("about.png")));
    }

    app.ExitInstance();
    return ok ? 0 : 1;
}
