#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

// Short texts that repeat (media IDs, actions), each kept once and named by a number. Number 0
// is the empty text.
class CInternedTexts {
public:
    CInternedTexts();
    CInternedTexts(const CInternedTexts&) = delete;
    CInternedTexts& operator=(const CInternedTexts&) = delete;

    std::uint32_t intern(std::string_view text);
    std::string_view text(std::uint32_t number) const { return m_texts[number]; }
    std::uint32_t size() const { return std::uint32_t(m_texts.size()); }

private:
    // A deque never moves its elements, so the views the index holds stay valid.
    std::deque<std::string> m_texts;
    std::unordered_map<std::string_view, std::uint32_t> m_index;
};
