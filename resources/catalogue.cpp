#include "catalogue.h"

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

void CCatalogue::setSource(std::unique_ptr<Source> source) { m_active = std::move(source); }

const CCatalogue::Source& CCatalogue::builtIn() const { return *m_builtIn; }

QString S(int id) { return CCatalogue::instance().string(id); }
