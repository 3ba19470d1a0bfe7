#include "catalogue.h"

#include "menus_en.h"
#include "resourceids.h"
#include "strings_en.h"

namespace {
class BuiltInSource final : public CCatalogue::Source {
public:
    bool string(int id, QString& out) const override {
        const char* text = builtInString(id);
        if (!text)
            return false;
        out = QString::fromUtf8(text);
        return true;
    }
    bool menu(int id, CMenuResource& out) const override { return builtInMenu(id, out); }
    bool toolBar(int id, CToolBarResource& out) const override { return builtInToolBar(id, out); }
    bool dialogText(int dialog, int item, QString& out) const override {
        const char* text = builtInDialogText(dialog, item);
        if (!text)
            return false;
        out = QString::fromUtf8(text);
        return true;
    }
    bool image(int id, QImage& out) const override {
        out = builtInImage(id);
        return !out.isNull();
    }
};
} // namespace

CCatalogue::CCatalogue() : m_builtIn(std::make_unique<BuiltInSource>()) {}

CCatalogue& CCatalogue::instance() {
    static CCatalogue catalogue;
    return catalogue;
}

QString CCatalogue::string(int id) const {
    QString out;
    if (m_active ? m_active->string(id, out) : m_builtIn->string(id, out))
        return out;
    return {};
}

bool CCatalogue::hasString(int id) const {
    QString ignored;
    return m_active ? m_active->string(id, ignored) : m_builtIn->string(id, ignored);
}

const CCatalogue::Source& CCatalogue::active() const {
    return m_active ? *m_active : *m_builtIn;
}

QString CCatalogue::commandPrompt(int id) const {
    return string(id).section(QLatin1Char('\n'), 0, 0);
}

QString CCatalogue::commandToolTip(int id) const {
    return string(id).section(QLatin1Char('\n'), 1, 1);
}

QString CCatalogue::documentString(int field) const {
    return string(res::IDR_MAINFRAME).section(QLatin1Char('\n'), field, field);
}

CMenuResource CCatalogue::menu(int id) const {
    CMenuResource out;
    if (!active().menu(id, out))
        out.clear();
    return out;
}

bool CCatalogue::hasMenu(int id) const {
    CMenuResource out;
    return active().menu(id, out);
}

CToolBarResource CCatalogue::toolBar(int id) const {
    CToolBarResource out;
    if (!active().toolBar(id, out))
        out = {};
    return out;
}

QString CCatalogue::dialogText(int dialog, int item) const {
    QString out;
    return active().dialogText(dialog, item, out) ? out : QString();
}

QImage CCatalogue::image(int id) const {
    // Drawing is not free and pictures are asked for repeatedly (menus, toolbar, splash).
    if (!m_active) {
        auto it = m_imageCache.find(id);
        if (it != m_imageCache.end())
            return it->second;
    }
    QImage out;
    if (!active().image(id, out))
        out = QImage();
    if (!m_active && !out.isNull())
        m_imageCache[id] = out;
    return out;
}

void CCatalogue::setSource(std::unique_ptr<Source> source) {
    m_active = std::move(source);
}

const CCatalogue::Source& CCatalogue::builtIn() const {
    return *m_builtIn;
}

QString S(int id) {
    return CCatalogue::instance().string(id);
}
