#pragma once

#include <QString>

// A per-user lock the kernel releases when the process dies: flock on a file in the user's
// runtime folder. Held for the life of the object (the program keeps it until it ends).
class CSingleInstance {
public:
    // The two fixed names of the program's locks.
    static QString programLockName() {
        return QStringLiteral("6F3B2C1A-9D4E-4B7F-8A21-3C5D7E9F1B20");
    }
    static QString settingsLockName() {
        return QStringLiteral("A8E4D2C6-1B3F-4D59-9E7A-0F2C4B6D8E13");
    }

    static QString runtimeFolder();

    CSingleInstance() = default;
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // Creates the lock file and takes the lock without waiting. False when another process
    // holds it (or the file cannot be created).
    bool acquire(const QString& name);
    // Creates and opens the file without locking it.
    bool openUnowned(const QString& name);
    bool held() const { return m_held; }
    QString path() const { return m_path; }

private:
    int m_fd = -1;
    bool m_held = false;
    QString m_path;
};
