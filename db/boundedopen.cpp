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
    std::unique_ptr<CADODataBase> database;
};
} // namespace

bool OpenWithin(std::unique_ptr<CADODataBase>& database, const QString& connection,
                std::chrono::milliseconds limit, QString& error) {
    if (!database)
        database = std::make_unique<CADODataBase>();
    if (database->GetConnectionTimeout() == 0) {
        const auto seconds = std::chrono::ceil<std::chrono::seconds>(limit).count();
        database->SetConnectionTimeout(int(qMax<qint64>(1, seconds)));
    }
    const int connectionTimeout = database->GetConnectionTimeout();
    const int commandTimeout = database->GetCommandTimeout();

    auto attempt = std::make_shared<Attempt>();
    attempt->database = std::move(database);
    CADODataBase* const db = attempt->database.get();
    std::thread([attempt, db, connection] {
        const bool opened = db->Open(connection);
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
        database = std::make_unique<CADODataBase>();
        database->SetConnectionTimeout(connectionTimeout);
        database->SetCommandTimeout(commandTimeout);
        error = QStringLiteral("The database did not answer within %1 seconds.")
                    .arg(double(limit.count()) / 1000.0);
        return false;
    }
    database = std::move(attempt->database);
    if (!attempt->opened) {
        error = database->GetErrorDescription();
        return false;
    }
    return true;
}

std::shared_ptr<CADODataBase>
OpenConnectionWithin(const QString& connection, std::chrono::milliseconds limit, QString& error) {
    return OpenConnectionWithin(connection, DbWaitLimits{limit, 0}, error);
}

std::shared_ptr<CADODataBase> OpenConnectionWithin(const QString& connection,
                                                   const DbWaitLimits& limits, QString& error) {
    auto database = std::make_unique<CADODataBase>();
    database->SetCommandTimeout(limits.commandSeconds);
    if (!OpenWithin(database, connection, limits.connect, error))
        return nullptr;
    return std::shared_ptr<CADODataBase>(std::move(database));
}

int AbandonedConnectionAttempts() {
    return g_abandoned.load();
}
