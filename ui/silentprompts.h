#pragma once

#include "userprompts.h"

// Answers every question without a dialog (No to saving, no file chosen) and writes messages
// to standard error: for runs that must never wait for a user, such as snapshots and benchmarks.
class CSilentPrompts : public IUserPrompts {
public:
    Answer askSaveChanges(const QString& text) override;
    QString openFileName(const QString& filter) override;
    QString saveFileName(const QString& filter, const QString& suggested) override;
    void stop(const QString& text) override;
};
