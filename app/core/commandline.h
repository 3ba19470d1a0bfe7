#pragma once

#include <QString>
#include <QStringList>

// What the program's own command line asks for, after the toolkit took its options.
struct CCommandLine {
    enum class Action {
        Run,     // start (or hand the file to the copy that runs)
        Help,    // print the usage and end
        Version, // print the version and end
        Error,   // an option the program does not know: named in error, exit code 2
    };

    Action action = Action::Run;
    QString fileName; // the workspace to open; empty for a new one
    QString error;

    // arguments: without the program name.
    static CCommandLine parse(const QStringList& arguments);
    // Help or Version alone, from the raw arguments, so they can be answered before anything
    // (a display connection included) is set up. Everything else is Run here.
    static CCommandLine quickParse(const QStringList& arguments);

    static QString usage(const QString& program);
    static QString versionLine();
};
