#include "strings_en.h"

#include <algorithm>
#include <iterator>

namespace {
struct Entry {
    int id;
    const char* text;
};

// Each area keeps its own table fragment: { number, "text" }, one per line, UTF-8.
constexpr Entry kEntries[] = {
#include "strings/frame.inc"
#include "strings/import.inc"
#include "strings/panes.inc"
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
