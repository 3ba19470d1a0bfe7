#pragma once

#include "userprompts.h"

#include <QStringList>

#include <functional>

// Answers the program's questions from a script and records every message.
class ScriptedPrompts : public IUserPrompts {
public:
    QList<Answer> saveAnswers;
    QStringList openNames;
    QStringList saveNames;
    QStringList asked;
    QStringList stops;
    QStringList warnings;
    QString lastFilter;
    QString lastSuggested;
    std::function<void(const QString&)> onStop;

    Answer askSaveChanges(const QString& text) override {
        asked << text;
        return saveAnswers.isEmpty() ? Cancel : saveAnswers.takeFirst();
    }
    QString openFileName(const QString& filter) override {
        lastFilter = filter;
        return openNames.isEmpty() ? QString() : openNames.takeFirst();
    }
    QString saveFileName(const QString& filter, const QString& suggested) override {
        lastFilter = filter;
        lastSuggested = suggested;
        return saveNames.isEmpty() ? QString() : saveNames.takeFirst();
    }
    void stop(const QString& text) override {
        stops << text;
        if (onStop)
            onStop(text);
    }
    void warning(const QString& text) override { warnings << text; }
    QStringList informations;
    QStringList notices;
    void information(const QString& text) override { informations << text; }
    void notice(const QString& text) override { notices << text; }

    QList<Answer> yesNoAnswers;
    QStringList questions;
    Answer askYesNo(const QString& text) override {
        questions << text;
        return yesNoAnswers.isEmpty() ? Cancel : yesNoAnswers.takeFirst();
    }

    // OK (true) or Cancel (false) for each confirmation; Cancel when none is left.
    QList<bool> okCancelAnswers;
    QStringList confirmations;
    bool askOkCancel(const QString& text) override {
        confirmations << text;
        return okCancelAnswers.isEmpty() ? false : okCancelAnswers.takeFirst();
    }
};
