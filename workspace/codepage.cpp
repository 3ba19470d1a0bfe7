#include "codepage.h"

#include <QByteArray>

#include <cerrno>

namespace {

bool isAscii(std::string_view bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Runs one iconv conversion over the whole input; on a byte sequence the target cannot take,
// appends the replacement and skips the offending input (one byte, or one UTF-8 character).
std::string convert(iconv_t cd, std::string_view in, std::string_view replacement,
                    bool skipUtf8Character, bool* lossless) {
    std::string out;
    out.resize(in.size() * 2 + 16);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t used = 0;
    while (srcLeft > 0) {
        char* dst = out.data() + used;
        std::size_t dstLeft = out.size() - used;
        std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        used = out.size() - dstLeft;
        if (r != std::size_t(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL (cut short at the end): replace and go on.
        if (lossless)
            *lossless = false;
        std::size_t skip = 1;
        if (skipUtf8Character) {
            while (skip < srcLeft && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80)
                ++skip;
        }
        src += skip;
        srcLeft -= skip;
        out.resize(used);
        out.append(replacement);
        used = out.size();
        out.resize(used + srcLeft * 2 + 16);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // Flush any shift state.
    char* dst = out.data() + used;
    std::size_t dstLeft = out.size() - used;
    if (iconv(cd, nullptr, nullptr, &dst, &dstLeft) != std::size_t(-1))
        used = out.size() - dstLeft;
    out.resize(used);
    return out;
}

} // namespace

CCodePage::CCodePage(const QString& name) : m_name(name) {
    const QByteArray cp = name.toLatin1();
    m_toUtf8 = iconv_open("UTF-8", cp.constData());
    m_fromUtf8 = iconv_open(cp.constData(), "UTF-8");
    if (IsValid()) {
        // Most code pages leave ASCII alone; then plain texts need no conversion at all.
        std::string ascii;
        for (int c = 1; c < 0x80; ++c)
            ascii.push_back(char(c));
        bool lossless = true;
        m_asciiCompatible =
            convert(m_toUtf8, ascii, "\xEF\xBF\xBD", false, &lossless) == ascii && lossless;
    }
}

CCodePage::~CCodePage() {
    if (m_toUtf8 != kNone)
        iconv_close(m_toUtf8);
    if (m_fromUtf8 != kNone)
        iconv_close(m_fromUtf8);
}

QString CCodePage::ToUnicode(std::string_view bytes) const {
    if ((m_asciiCompatible || !IsValid()) && isAscii(bytes))
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    if (!IsValid()) {
        QString text;
        for (char c : bytes)
            text.append(static_cast<unsigned char>(c) < 0x80 ? QChar(c) : QChar(0xFFFD));
        return text;
    }
    const std::string utf8 = convert(m_toUtf8, bytes, "\xEF\xBF\xBD", false, nullptr);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

std::string CCodePage::FromUnicode(const QString& text, bool* lossless) const {
    if (lossless)
        *lossless = true;
    const QByteArray utf8 = text.toUtf8();
    const std::string_view in(utf8.constData(), std::size_t(utf8.size()));
    if ((m_asciiCompatible || !IsValid()) && isAscii(in))
        return std::string(in);
    if (!IsValid()) {
        std::string out;
        for (QChar c : text) {
            if (c.isLowSurrogate())
                continue;
            out.push_back(c.unicode() < 0x80 ? char(c.unicode()) : '?');
            if (c.unicode() >= 0x80 && lossless)
                *lossless = false;
        }
        return out;
    }
    return convert(m_fromUtf8, in, "?", true, lossless);
}
