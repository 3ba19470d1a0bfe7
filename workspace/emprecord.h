#pragma once

#include <string>

// One employee. The MediaID is not stored here: it is the record's key in the workspace.
// Texts are byte strings in the workspace's code page.
struct CEmpRecord {
    std::string LastName;
    std::string FirstName;

    bool operator==(const CEmpRecord&) const = default;
};
