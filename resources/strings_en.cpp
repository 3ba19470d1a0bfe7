#include "strings_en.h"

#include "resourceids.h"

#include <algorithm>
#include <iterator>

namespace {
struct Entry {
    int id;
    const char* text;
};

using namespace res;

// Each area keeps its own table fragment: { name, "text" }, one per line, UTF-8.
constexpr Entry kEntries[] = {
#include "strings/alerts.inc"
#include "strings/edit.inc"
#include "strings/enrol.inc"
#include "strings/frame.inc"
#include "strings/history.inc"
#include "strings/import.inc"
#include "strings/intake.inc"
#include "strings/link.inc"
#include "strings/media.inc"
#include "strings/panes.inc"
#include "strings/settings.inc"
#include "strings/workspace.inc"
};

struct Sorted {
    Entry entries[std::size(kEntries)];
    constexpr Sorted() : entries{} {
        std::copy(std::begin(kEntries), std::end(kEntries), entries);
        std::sort(std::begin(entries), std::end(entries),
                  [](const Entry& a, const Entry& b) { return a.id < b.id; });
    }
};
constexpr Sorted kSorted;

// Two fragments giving one number two texts would leave one of them unreachable.
constexpr bool eachIdOnce(const Sorted& table) {
    for (size_t i = 1; i < std::size(table.entries); ++i)
        if (table.entries[i - 1].id == table.entries[i].id)
            return false;
    return true;
}
static_assert(eachIdOnce(kSorted), "the string table holds a number twice");
} // namespace

const char* builtInString(int id) {
    auto it = std::lower_bound(std::begin(kSorted.entries), std::end(kSorted.entries), id,
                               [](const Entry& e, int key) { return e.id < key; });
    return (it != std::end(kSorted.entries) && it->id == id) ? it->text : nullptr;
}

int builtInStringCount() {
    return int(std::size(kEntries));
}

int builtInStringIdAt(int index) {
    return kSorted.entries[index].id;
}
