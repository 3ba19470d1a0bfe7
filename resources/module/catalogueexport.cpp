#include "catalogueexport.h"

#include "menus_en.h"
#include "resourceids.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <deque>
#include <string>
#include <vector>

namespace {
struct Exported {
    TarvexCatalogue table{};
    std::vector<TarvexMenuEntry> menus;
    std::deque<std::string> menuTexts; // a deque keeps the texts where they are
    std::vector<TarvexToolBarEntry> toolBars;
    std::vector<std::vector<int>> toolBarButtons;
    std::vector<TarvexImageEntry> images;
    std::vector<QByteArray> imageBytes;
    bool imagesMade = false;
};

Exported& exported() {
    static Exported e;
    return e;
}

void flatten(Exported& e, int menu, int depth, const std::vector<CMenuItem>& items) {
    for (const CMenuItem& item : items) {
        const char* text = nullptr;
        if (!item.isSeparator()) {
            e.menuTexts.push_back(item.text.toStdString());
            text = e.menuTexts.back().c_str();
        }
        e.menus.push_back({menu, depth, item.id, text});
        if (item.isPopup())
            flatten(e, menu, depth + 1, item.items);
    }
}

const TarvexImageEntry* images(int* count) {
    Exported& e = exported();
    if (!e.imagesMade) {
        e.imagesMade = true;
        std::vector<int> ids;
        for (int id : res::kImageIds) {
            const QImage image = builtInImage(id);
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            if (!image.isNull() && image.save(&buffer, "PNG")) {
                ids.push_back(id);
                e.imageBytes.push_back(png);
            }
        }
        // Pointers are taken once every buffer is in place.
        for (size_t i = 0; i < ids.size(); ++i)
            e.images.push_back({ids[i],
                                reinterpret_cast<const unsigned char*>(e.imageBytes[i].constData()),
                                int(e.imageBytes[i].size())});
    }
    if (count)
        *count = int(e.images.size());
    return e.images.data();
}
} // namespace

const TarvexCatalogue* ExportCatalogue(const CLanguageModuleData& data) {
    Exported& e = exported();
    if (e.table.version == TARVEX_CATALOGUE_VERSION)
        return &e.table;
    for (int id : res::kMenuIds) {
        CMenuResource menu;
        if (data.menu && data.menu(id, menu))
            flatten(e, id, 0, menu);
    }
    CToolBarResource bar;
    if (builtInToolBar(res::IDR_MAINFRAME, bar)) {
        e.toolBarButtons.push_back(bar.buttons);
        e.toolBars.push_back({res::IDR_MAINFRAME, bar.bitmap, bar.buttonWidth, bar.buttonHeight,
                              e.toolBarButtons.back().data(), int(bar.buttons.size())});
    }
    e.table.locale = data.locale;
    e.table.strings = data.strings.data();
    e.table.stringCount = int(data.strings.size());
    e.table.dialogTexts = data.dialogTexts.data();
    e.table.dialogTextCount = int(data.dialogTexts.size());
    e.table.menus = e.menus.data();
    e.table.menuEntryCount = int(e.menus.size());
    e.table.toolBars = e.toolBars.data();
    e.table.toolBarCount = int(e.toolBars.size());
    e.table.images = &images;
    e.table.version = TARVEX_CATALOGUE_VERSION;
    return &e.table;
}
