#include "codepage.h"

#include "unmappedtext.h"

#include <QByteArray>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <functional>

namespace {

bool isAscii(std::string_view bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Runs one iconv conversion over the whole input; on a byte sequence the target cannot take,
// appends the replacement, skips the offending input (one byte, or one UTF-8 character) and
// hands it to `replaced`.
std::string convert(iconv_t cd, std::string_view in, std::string_view replacement,
                    bool skipUtf8Character, const std::function<void(std::string_view)>& replaced) {
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
        std::size_t skip = 1;
        if (skipUtf8Character) {
            while (skip < srcLeft && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80)
                ++skip;
        }
        if (replaced)
            replaced(std::string_view(src, skip));
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

bool iconvKnows(const QString& name) {
    const QByteArray cp = name.toLatin1();
    const iconv_t cd = iconv_open("UTF-8", cp.constData());
    if (cd == iconv_t(-1))
        return false;
    iconv_close(cd);
    return true;
}

// The locale that decides the character set: POSIX takes LC_ALL, then LC_CTYPE, then LANG.
QString processLocale() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return value;
    }
    return QStringLiteral("C");
}

} // namespace

QString CCodePage::NameForLocale(const QString& locale) {
    // "language[_territory][.codeset][@modifier]", or the "language-Script-TERRITORY" form.
    QString name = locale.trimmed();
    QString modifier;
    if (const qsizetype at = name.indexOf(u'@'); at >= 0) {
        modifier = name.mid(at + 1).toLower();
        name.truncate(at);
    }
    if (const qsizetype dot = name.indexOf(u'.'); dot >= 0)
        name.truncate(dot);
    name.replace(u'-', u'_');
    const QStringList parts = name.split(u'_', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return QStringLiteral("windows-1252");
    const QString language = parts.first().toLower();
    QString script;
    QString territory;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        if (parts[i].size() == 4)
            script = parts[i].toLower();
        else
            territory = parts[i].toUpper();
    }

    if (language == QLatin1String("sr")) {
        // Serbian is written in both scripts; Montenegro's default is Latin.
        const bool latin = modifier == QLatin1String("latin") ||
                           modifier == QLatin1String("latn") || script == QLatin1String("latn") ||
                           (script.isEmpty() && territory == QLatin1String("ME"));
        return latin ? QStringLiteral("windows-1250") : QStringLiteral("windows-1251");
    }
    static const struct {
        const char* languages;
        const char* codePage;
    } table[] = {
        {" pl cs sk hu hr sl ro sq ", "windows-1250"},
        {" ru uk bg be mk ", "windows-1251"},
        {" el ", "windows-1253"},
        {" tr az ", "windows-1254"},
        {" he iw ", "windows-1255"},
        {" ar fa ", "windows-1256"},
        {" lt lv et ", "windows-1257"},
        {" vi ", "windows-1258"},
    };
    const QString key = u' ' + language + u' ';
    for (const auto& row : table) {
        if (QLatin1String(row.languages).contains(key))
            return QLatin1String(row.codePage);
    }
    return QStringLiteral("windows-1252");
}

QString CCodePage::DefaultName() {
    return NameForLocale(processLocale());
}

QString CCodePage::ResolveName(const QString& name) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return DefaultName();
    if (!std::all_of(trimmed.begin(), trimmed.end(),
                     [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return trimmed;
    const QString windows = QStringLiteral("windows-") + trimmed;
    return iconvKnows(windows) ? windows : QStringLiteral("CP") + trimmed;
}

CCodePage::CCodePage(const QString& name) : m_name(ResolveName(name)) {
    const QByteArray cp = m_name.toLatin1();
    m_toUtf8 = iconv_open("UTF-8", cp.constData());
    m_fromUtf8 = iconv_open(cp.constData(), "UTF-8");
    if (IsValid()) {
        // Most code pages leave ASCII alone; then plain texts need no conversion at all.
        std::string ascii;
        for (int c = 1; c < 0x80; ++c)
            ascii.push_back(char(c));
        bool lossless = true;
        m_asciiCompatible = convert(m_toUtf8, ascii, "\xEF\xBF\xBD", false,
                                    [&](std::string_view) { lossless = false; }) == ascii &&
                            lossless;
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

std::string CCodePage::FromUnicode(const QString& input, CUnmappedText& unmapped) const {
    // Decomposed letters (a base letter and a combining mark, as some systems write names)
    // have a precomposed form that most code pages hold.
    const QString text = input.normalized(QString::NormalizationForm_C);
    const QByteArray utf8 = text.toUtf8();
    const std::string_view in(utf8.constData(), std::size_t(utf8.size()));
    if ((m_asciiCompatible || !IsValid()) && isAscii(in))
        return std::string(in);
    if (!IsValid()) {
        std::string out;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c.unicode() < 0x80) {
                out.push_back(char(c.unicode()));
                continue;
            }
            const qsizetype length =
                c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2
                                                                                              : 1;
            unmapped.Add(text.mid(i, length), input);
            out.push_back('?');
            i += length - 1;
        }
        return out;
    }
    return convert(m_fromUtf8, in, "?", true, [&](std::string_view skipped) {
        unmapped.Add(QString::fromUtf8(skipped.data(), qsizetype(skipped.size())), input);
    });
}
