#pragma once

#include "catalogue.h"

#include <QString>

#include <memory>
#include <vector>

// The language modules found in the program's folder at start-up, and the one selected by the
// stored language name, kept loaded until the list goes.
class CLanguageList {
public:
    static constexpr int kMaxEntries = 100;
    // A longer language name is cut here, at a character boundary.
    static constexpr int kMaxNameBytes = 255;

    struct Entry {
        QString file;     // without folder
        QString language; // as the module reported it
    };

    CLanguageList() = default;
    ~CLanguageList();
    CLanguageList(const CLanguageList&) = delete;
    CLanguageList& operator=(const CLanguageList&) = delete;

    // Loads and unloads every *.so file of the folder once, in byte order of the file names,
    // listing the language modules (at most kMaxEntries); the last one reporting exactly
    // `current` is loaded again and kept. Runs once; returns true.
    bool Discover(const QString& programFolder, const QString& current);

    const QString& current() const { return m_current; }
    const std::vector<Entry>& entries() const { return m_entries; }
    int count() const { return int(m_entries.size()); }
    // The entry whose module is loaded, or -1.
    int selected() const { return m_module ? m_selected : -1; }
    bool hasModule() const { return m_module != nullptr; }

    // The loaded module's resources for the catalogue; null without a module.
    std::unique_ptr<CCatalogue::Source> moduleSource() const;
    // The name of the toolkit's translations for the module's language; empty for none.
    QString moduleLocale() const;

    // The language name a module function returned, checked and copied: empty when it is
    // null, empty, not UTF-8 or holds control characters.
    static QString languageName(const char* text);

private:
    QString m_current;
    std::vector<Entry> m_entries;
    int m_selected = -1;
    void* m_module = nullptr;
};
