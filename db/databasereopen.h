#pragma once

#include <QString>

#include <chrono>
#include <memory>
#include <optional>

class CADODataBase;

// How long a reopen waits for its database before it counts as failed.
inline constexpr std::chrono::milliseconds kReopenLimit{30000};

// Reopens one of the program's long-lived connections (reporting, photo) after its settings
// were loaded or changed: closes it (creating the object on first use) and, when the feature
// is on, opens it again with the connection string, waiting at most `limit`. When that fails
// the feature is switched off, so that the next start does not try again, and the result is
// the connection's error description for the caller's message; nullopt otherwise.
std::optional<QString> ReopenDatabase(std::unique_ptr<CADODataBase>& database, bool& featureOn,
                                      const QString& connection,
                                      std::chrono::milliseconds limit = kReopenLimit);
