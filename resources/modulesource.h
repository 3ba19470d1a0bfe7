#pragma once

#include "catalogue.h"
#include "languagemodule.h"

#include <map>
#include <utility>

// A language module's resources as the catalogue's source. Everything is copied when the
// source is made, so the source never reaches into the module afterwards.
class CModuleSource final : public CCatalogue::Source {
public:
    explicit CModuleSource(const TarvexCatalogue& table);

    bool string(int id, QString& out) const override;
    bool menu(int id, CMenuResource& out) const override;
    bool toolBar(int id, CToolBarResource& out) const override;
    bool dialogText(int dialog, int item, QString& out) const override;
    bool image(int id, QImage& out) const override;

    // Rebuilds menu resources from the module's flattened entries of one menu; false when the
    // nesting is broken (the menu is then left out).
    static bool unflatten(const TarvexMenuEntry* entries, int count, CMenuResource& out);

private:
    std::map<int, QString> m_strings;
    std::map<std::pair<int, int>, QString> m_dialogTexts;
    std::map<int, CMenuResource> m_menus;
    std::map<int, CToolBarResource> m_toolBars;
    std::map<int, QImage> m_images;
};
