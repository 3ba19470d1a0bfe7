#include "languagelist.h"

#include "languagemodule.h"
#include "modulesource.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>

namespace {
const char kLanguageFunction[] = "GetTarvexLanguage";
const char kCatalogueFunction[] = "GetTarvexCatalogue";

template <typename F> F lookUp(void* handle, const char* name) {
    return reinterpret_cast<F>(dlsym(handle, name));
}

// The module's table when it is one this program can read.
const TarvexCatalogue* catalogueOf(void* handle, const QString& file) {
    auto function = lookUp<TarvexCatalogueFunction>(handle, kCatalogueFunction);
    const TarvexCatalogue* table = function ? function() : nullptr;
    if (!table) {
        std::fprintf(stderr, "tarvex: %s names a language but holds no resources; skipped\n",
                     qPrintable(file));
        return nullptr;
    }
    if (table->version != TARVEX_CATALOGUE_VERSION) {
        std::fprintf(stderr,
                     "tarvex: %s is a language module of version %d, this program reads "
                     "version %d; skipped\n",
                     qPrintable(file), table->version, TARVEX_CATALOGUE_VERSION);
        return nullptr;
    }
    return table;
}

void* open(const QString& path) {
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        std::fprintf(stderr, "tarvex: cannot load %s: %s\n", qPrintable(path), dlerror());
    return handle;
}
} // namespace

CLanguageList::~CLanguageList() {
    if (m_module)
        dlclose(m_module);
}

QString CLanguageList::languageName(const char* text) {
    if (!text)
        return {};
    size_t n = strnlen(text, kMaxNameBytes + 1);
    if (n > size_t(kMaxNameBytes)) {
        n = kMaxNameBytes;
        // A character cut in two goes as a whole.
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
    }
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString name = decode(QByteArrayView(text, qsizetype(n)));
    if (decode.hasError() || name.isEmpty())
        return {};
    for (QChar c : name)
        if (c.category() == QChar::Other_Control)
            return {};
    return name;
}

bool CLanguageList::Discover(const QString& programFolder, const QString& current) {
    m_entries.clear();
    m_selected = -1;
    if (m_module) {
        dlclose(m_module);
        m_module = nullptr;
    }
    m_current = current;

    QDir folder(programFolder);
    QStringList files = folder.entryList({QStringLiteral("*.so")}, QDir::Files | QDir::Hidden);
    // Byte order of the names, so the order (and with it which of two equal names wins) does
    // not depend on the file system or the locale.
    std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
        return QFile::encodeName(a) < QFile::encodeName(b);
    });

    for (const QString& file : files) {
        void* handle = open(folder.filePath(file));
        if (!handle)
            continue;
        auto language = lookUp<TarvexLanguageFunction>(handle, kLanguageFunction);
        if (language && count() < kMaxEntries) {
            const QString name = languageName(language());
            if (name.isEmpty())
                std::fprintf(stderr, "tarvex: %s gives no usable language name; skipped\n",
                             qPrintable(file));
            else if (catalogueOf(handle, file)) {
                m_entries.push_back({file, name});
                if (name == m_current)
                    m_selected = count() - 1;
            }
        }
        dlclose(handle);
    }

    if (m_selected >= 0) {
        const QString file = m_entries[size_t(m_selected)].file;
        m_module = open(folder.filePath(file));
        if (m_module && !catalogueOf(m_module, file)) {
            dlclose(m_module);
            m_module = nullptr;
        }
    }
    return true;
}

std::unique_ptr<CCatalogue::Source> CLanguageList::moduleSource() const {
    if (!m_module)
        return nullptr;
    const TarvexCatalogue* table = catalogueOf(m_module, m_entries[size_t(m_selected)].file);
    return table ? std::make_unique<CModuleSource>(*table) : nullptr;
}

QString CLanguageList::moduleLocale() const {
    if (!m_module)
        return {};
    const TarvexCatalogue* table = catalogueOf(m_module, m_entries[size_t(m_selected)].file);
    return table && table->locale ? languageName(table->locale) : QString();
}
