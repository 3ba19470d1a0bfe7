#pragma once

#include "resourcetypes.h"

#include <QImage>
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
        virtual bool menu(int /*id*/, CMenuResource& /*out*/) const { return false; }
        virtual bool toolBar(int /*id*/, CToolBarResource& /*out*/) const { return false; }
        virtual bool dialogText(int /*dialog*/, int /*item*/, QString& /*out*/) const {
            return false;
        }
        virtual bool image(int /*id*/, QImage& /*out*/) const { return false; }
    };

    static CCatalogue& instance();

    // The text of string resource id; an empty text when no source has it.
    QString string(int id) const;
    bool hasString(int id) const;

    // A command's string holds "prompt\ntooltip": the status-bar prompt and the tooltip.
    QString commandPrompt(int id) const;
    QString commandToolTip(int id) const;
    // Field n (0..6) of the document strings of resource 128.
    QString documentString(int field) const;

    // Menus, toolbars, dialog texts (item 0: caption) and pictures by resource number; empty
    // results when the active source has none.
    CMenuResource menu(int id) const;
    bool hasMenu(int id) const;
    CToolBarResource toolBar(int id) const;
    QString dialogText(int dialog, int item) const;
    QImage image(int id) const;

    // Replaces the active source for the rest of the run (nullptr: back to the built-in set).
    void setSource(std::unique_ptr<Source> source);
    const Source& builtIn() const;

private:
    CCatalogue();
    const Source& active() const;
    std::unique_ptr<Source> m_builtIn;
    std::unique_ptr<Source> m_active;
    mutable std::map<int, QImage> m_imageCache;
};

// Shorthand for CCatalogue::instance().string(id).
QString S(int id);
