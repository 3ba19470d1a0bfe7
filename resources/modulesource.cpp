#include "modulesource.h"

#include <cstdio>

namespace {
// Far beyond any real table: a larger count is a broken module, not a large one.
constexpr int kMaxCount = 1 << 20;

int checkedCount(const void* data, int count) {
    return (data && count > 0 && count <= kMaxCount) ? count : 0;
}
} // namespace

CModuleSource::CModuleSource(const TarvexCatalogue& table) {
    for (int i = 0, n = checkedCount(table.strings, table.stringCount); i < n; ++i)
        if (table.strings[i].text)
            m_strings.emplace(table.strings[i].id, QString::fromUtf8(table.strings[i].text));
    for (int i = 0, n = checkedCount(table.dialogTexts, table.dialogTextCount); i < n; ++i) {
        const TarvexDialogTextEntry& e = table.dialogTexts[i];
        if (e.text)
            m_dialogTexts.emplace(std::pair(e.dialog, e.item), QString::fromUtf8(e.text));
    }
    // A menu's entries lie together; each run of one menu number is one menu.
    const int menuEntries = checkedCount(table.menus, table.menuEntryCount);
    for (int first = 0; first < menuEntries;) {
        int last = first;
        while (last < menuEntries && table.menus[last].menu == table.menus[first].menu)
            ++last;
        CMenuResource menu;
        if (unflatten(table.menus + first, last - first, menu))
            m_menus.emplace(table.menus[first].menu, std::move(menu));
        else
            std::fprintf(stderr, "tarvex: menu %d of the language module is malformed; left out\n",
                         table.menus[first].menu);
        first = last;
    }
    for (int i = 0, n = checkedCount(table.toolBars, table.toolBarCount); i < n; ++i) {
        const TarvexToolBarEntry& e = table.toolBars[i];
        CToolBarResource bar;
        bar.bitmap = e.bitmap;
        bar.buttonWidth = e.buttonWidth;
        bar.buttonHeight = e.buttonHeight;
        const int buttons = checkedCount(e.buttons, e.buttonCount);
        bar.buttons.assign(e.buttons, e.buttons + buttons);
        m_toolBars.emplace(e.id, std::move(bar));
    }
    if (table.images) {
        int count = 0;
        const TarvexImageEntry* images = table.images(&count);
        for (int i = 0, n = checkedCount(images, count); i < n; ++i) {
            if (!images[i].png || images[i].size <= 0)
                continue;
            QImage image = QImage::fromData(images[i].png, images[i].size, "PNG");
            if (!image.isNull())
                m_images.emplace(images[i].id, std::move(image));
        }
    }
}

bool CModuleSource::unflatten(const TarvexMenuEntry* entries, int count, CMenuResource& out) {
    out.clear();
    // The open popups, innermost last; level 0 is the menu itself.
    std::vector<std::vector<CMenuItem>*> open{&out};
    for (int i = 0; i < count; ++i) {
        const TarvexMenuEntry& e = entries[i];
        if (e.depth < 0 || e.depth >= int(open.size()))
            return false;
        open.resize(size_t(e.depth) + 1);
        std::vector<CMenuItem>& into = *open.back();
        if (!e.text) {
            into.push_back(CMenuItem{});
            continue;
        }
        into.push_back(CMenuItem{QString::fromUtf8(e.text), e.command, {}});
        if (e.command == 0)
            open.push_back(&into.back().items);
    }
    return true;
}

bool CModuleSource::string(int id, QString& out) const {
    auto it = m_strings.find(id);
    if (it == m_strings.end())
        return false;
    out = it->second;
    return true;
}

bool CModuleSource::menu(int id, CMenuResource& out) const {
    auto it = m_menus.find(id);
    if (it == m_menus.end())
        return false;
    out = it->second;
    return true;
}

bool CModuleSource::toolBar(int id, CToolBarResource& out) const {
    auto it = m_toolBars.find(id);
    if (it == m_toolBars.end())
        return false;
    out = it->second;
    return true;
}

bool CModuleSource::dialogText(int dialog, int item, QString& out) const {
    auto it = m_dialogTexts.find(std::pair(dialog, item));
    if (it == m_dialogTexts.end())
        return false;
    out = it->second;
    return true;
}

bool CModuleSource::image(int id, QImage& out) const {
    auto it = m_images.find(id);
    if (it == m_images.end())
        return false;
    out = it->second;
    return true;
}
