#include "commandline.h"
#include "tarvexapp.h"

#include <QApplication>

#include <cstdio>

namespace {
QString programName(const char* argv0) {
    const QString path = QString::fromLocal8Bit(argv0 ? argv0 : "tarvex");
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// Help and version need no display and start nothing.
int answerAndEnd(CCommandLine::Action action, const QString& program) {
    const QString text = action == CCommandLine::Action::Help ? CCommandLine::usage(program)
                                                              : CCommandLine::versionLine();
    std::fputs(text.toLocal8Bit().constData(), stdout);
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    const QString program = programName(argc > 0 ? argv[0] : nullptr);
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const CCommandLine early = CCommandLine::quickParse(raw);
    if (early.action != CCommandLine::Action::Run)
        return answerAndEnd(early.action, program);

    QApplication qapp(argc, argv);
    // The toolkit has taken its own options; whatever else starts with a dash is unknown.
    const CCommandLine commandLine = CCommandLine::parse(QCoreApplication::arguments().mid(1));
    switch (commandLine.action) {
    case CCommandLine::Action::Run:
        break;
    case CCommandLine::Action::Error:
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n",
                     program.toLocal8Bit().constData(), commandLine.error.toLocal8Bit().constData(),
                     program.toLocal8Bit().constData());
        return 2;
    default:
        return answerAndEnd(commandLine.action, program);
    }
    QApplication::setQuitOnLastWindowClosed(false);
    CTarvexApp app;
    QString file = commandLine.fileName;
    // A name given after "--" may start with a dash; it must not look like an option later.
    if (file.startsWith(QLatin1Char('-')))
        file.prepend(QStringLiteral("./"));
    app.setArguments(file.isEmpty() ? QStringList() : QStringList{file});
    return app.run();
}
