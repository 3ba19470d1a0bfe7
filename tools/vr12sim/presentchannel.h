#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The named pipe "<link>.present" beside a running simulator's link, through which another
// process has it present media on demand: one 16-character media ID per line, each sent as a
// registration of that medium.
class PresentChannel {
public:
    static QString pathFor(const QString& linkPath) {
        return linkPath + QStringLiteral(".present");
    }

    PresentChannel() = default;
    ~PresentChannel();
    PresentChannel(const PresentChannel&) = delete;
    PresentChannel& operator=(const PresentChannel&) = delete;

    // Makes the pipe (replacing a stale one: the caller holds the link) and opens it.
    bool open(const QString& linkPath);
    void close();
    QString errorString() const { return m_error; }

    // The complete lines written since the last call, without their line ends.
    QList<QByteArray> takeLines();

    // The writing side: hands the IDs to the simulator serving linkPath. False, with the reason,
    // when none serves it.
    static bool present(const QString& linkPath, const QList<QByteArray>& ids, QString* error);

private:
    int m_fd = -1;
    QString m_path;
    QString m_error;
    QByteArray m_pending;
};
