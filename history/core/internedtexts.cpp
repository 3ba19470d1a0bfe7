#include "internedtexts.h"

CInternedTexts::CInternedTexts() {
    m_texts.emplace_back();
    m_index.emplace(std::string_view(m_texts.back()), 0);
}

std::uint32_t CInternedTexts::intern(std::string_view text) {
    const auto found = m_index.find(text);
    if (found != m_index.end())
        return found->second;
    const auto number = std::uint32_t(m_texts.size());
    m_texts.emplace_back(text);
    m_index.emplace(std::string_view(m_texts.back()), number);
    return number;
}
