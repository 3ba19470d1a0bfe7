#include "boundedopen.h"

#include "adodatabase.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {
std::atomic<int> g_abandoned{0};

struct Attempt {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
    bool opened = false;
    std::shared_ptr<CADODataBase> database = std::make_shared<CADODataBase>();
};
} // namespace

std::shared_ptr<CADODataBase>
OpenConnectionWithin(const QString& connection, std::chrono::milliseconds limit, QString& error) {
    auto attempt = std::make_shared<Attempt>();
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(limit).count();
    attempt->database->SetConnectionTimeout(int(qMax<qint64>(1, seconds)));
    std::thread([attempt, connection] {
        const bool opened = attempt->database->Open(connection);
        std::lock_guard lock(attempt->mutex);
        attempt->opened = opened;
        attempt->done = true;
        if (attempt->abandoned)
            --g_abandoned;
        attempt->finished.notify_all();
    }).detach();

    std::unique_lock lock(attempt->mutex);
    if (!attempt->finished.wait_for(lock, limit, [&] { return attempt->done; })) {
        attempt->abandoned = true;
        ++g_abandoned;
        error = QStringLiteral("The database did not answer within %1 seconds.")
                    .arg(double(limit.count()) / 1000.0);
        return nullptr;
    }
    if (!attempt->opened) {
        error = attempt->database->GetErrorDescription();
        return nullptr;
    }
    return attempt->database;
}

int AbandonedConnectionAttempts() {
    return g_abandoned.load();
}
