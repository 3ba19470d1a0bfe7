#pragma once

#include <QString>

// A per-user lock the kernel releases when the process dies: flock on a file in the user's
// runtime folder. Held for the life of the object (the program keeps it until it ends).
class CSingleInstance {
public:
    enum class Result {
        Acquired,    // this process holds the lock
        HeldByOther, // another process holds it: another copy runs
        Failed,      // the lock file could not be created or locked; error() says why
    };

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

    // Creates the lock file and takes the lock without waiting.
    Result tryAcquire(const QString& name);
    // True only when the lock was taken.
    bool acquire(const QString& name) { return tryAcquire(name) == Result::Acquired; }
    // Creates and opens the file without locking it.
    bool openUnowned(const QString& name);
    bool held() const { return m_held; }
    QString path() const { return m_path; }
    // Why the last attempt failed: the file and the system's reason.
    QString error() const { return m_error; }

private:
    int m_fd = -1;
    bool m_held = false;
    QString m_path;
    QString m_error;
};
