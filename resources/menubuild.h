#pragma once

#include "resourcetypes.h"

#include <utility>
#include <vector>

// Shorthands for writing menu resources: a command, a separator and a popup.
namespace menubuild {
inline CMenuItem cmd(const char* text, int id) {
    return CMenuItem{QString::fromUtf8(text), id, {}};
}
inline CMenuItem sep() {
    return CMenuItem{};
}
inline CMenuItem popup(const char* text, std::vector<CMenuItem> items) {
    return CMenuItem{QString::fromUtf8(text), 0, std::move(items)};
}
} // namespace menubuild
