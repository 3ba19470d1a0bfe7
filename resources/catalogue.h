#pragma once

#include <QString>

#include <map>
#include <memory>

// Every user-visible text of the program is looked up here by its resource
// number, so a language module can replace all of them at once.
class CCatalogue {
public:
    // A set of resources. The built-in English set is one; a language module supplies another.
    class Source {
    public:
        virtual ~Source() = default;
        // Returns false when the source has no string with that number.
        virtual bool string(int id, QString& out) const = 0;
    };

    static CCatalogue& instance();

    // The text of string resource id; an empty text when no source has it.
    QString string(int id) const;
    bool hasString(int id) const;

    // Replaces the active source for the rest of the run (nullptr: back to the built-in set).
    void setSource(std::unique_ptr<Source> source);
    const Source& builtIn() const;

private:
    CCatalogue();
    std::unique_ptr<Source> m_builtIn;
    std::unique_ptr<Source> m_active;
};

// Shorthand for CCatalogue::instance().string(id).
QString S(int id);
