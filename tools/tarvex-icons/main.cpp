// Writes the program's icon into an icon theme tree (OUTDIR/<n>x<n>/apps/tarvex.png) for the
// sizes desktops ask for. Run at build time; the icon is drawn by the same code the program
// shows in its windows.
#include "menus_en.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarvex-icons OUTDIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
        const QString file = folder + QStringLiteral("/tarvex.png");
        if (!QDir().mkpath(folder) || !builtInProgramIcon(size).save(file, "PNG")) {
            std::fprintf(stderr, "tarvex-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
