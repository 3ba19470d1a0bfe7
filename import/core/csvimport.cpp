#include "csvimport.h"

#include "codepage.h"
#include "mediaid.h"
#include "tarvexdoc.h"

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Field `index` of a line split at every comma; beyond the last field: empty.
std::string_view field(std::string_view line, int index) {
    if (index < 0)
        return {};
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        const std::size_t comma = line.find(',', start);
        if (comma == std::string_view::npos)
            return {};
        start = comma + 1;
    }
    const std::size_t end = line.find(',', start);
    return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n;
        std::uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            n = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            n = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + n >= s.size())
            return false;
        for (std::size_t k = 1; k <= n; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = cp << 6 | (cc & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((n == 1 && cp < 0x80) || (n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000) ||
            cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

bool hasHighBytes(std::string_view s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    }
    return false;
}

// A name as the workspace keeps it: bytes in the code page. UTF-8 text is converted; anything
// else is taken to be in the code page already.
std::string nameText(std::string_view raw, const CCodePage& codePage, bool codePageIsUtf8,
                     CUnmappedText& unmapped) {
    if (codePageIsUtf8 || !hasHighBytes(raw) || !isValidUtf8(raw))
        return std::string(raw);
    return codePage.FromUnicode(QString::fromUtf8(raw.data(), qsizetype(raw.size())), unmapped);
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

FilePtr openForReading(const QString& path, QString& error, QString* reason = nullptr) {
    const QByteArray name = QFile::encodeName(path);
    FilePtr file(std::fopen(name.constData(), "rb"));
    if (!file) {
        const QString why = systemReason(errno);
        error = QStringLiteral("Cannot open %1: %2").arg(path, why);
        if (reason)
            *reason = why;
    }
    return file;
}

// getline() with the line end (LF, or CRLF) removed; a UTF-8 byte order mark before the first
// line is dropped.
class LineReader {
public:
    explicit LineReader(std::FILE* file) : m_file(file) {}
    ~LineReader() { std::free(m_buffer); }
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool next(std::string_view& line) {
        const ssize_t n = ::getline(&m_buffer, &m_capacity, m_file);
        if (n < 0)
            return false;
        std::size_t length = std::size_t(n);
        if (length > 0 && m_buffer[length - 1] == '\n')
            --length;
        if (length > 0 && m_buffer[length - 1] == '\r')
            --length;
        line = std::string_view(m_buffer, length);
        if (m_first) {
            m_first = false;
            if (line.substr(0, 3) == "\xEF\xBB\xBF")
                line.remove_prefix(3);
        }
        return true;
    }
    bool failed() const { return std::ferror(m_file) != 0; }

private:
    std::FILE* m_file;
    char* m_buffer = nullptr;
    std::size_t m_capacity = 0;
    bool m_first = true;
};

} // namespace

CsvImportResult ImportCsvFile(const CsvImportSettings& settings, CTarvexDoc& doc) {
    CsvImportResult result;
    FilePtr file = openForReading(settings.path, result.error, &result.reason);
    if (!file)
        return result;
    result.opened = true;

    const CCodePage codePage(settings.codePage);
    result.codePage = codePage.Name();
    const bool codePageIsUtf8 =
        codePage.Name().compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0 ||
        codePage.Name().compare(QLatin1String("UTF8"), Qt::CaseInsensitive) == 0;

    LineReader reader(file.get());
    std::string_view line;
    while (reader.next(line)) {
        ++result.total;
        std::optional<std::string> mediaId = NormalizeMediaIdAs(
            settings.mediaForm, field(line, settings.mediaIdColumn), settings.mediaType);
        if (!mediaId || doc.FindEmployee(*mediaId))
            continue;
        CEmpRecord employee;
        employee.LastName = nameText(field(line, settings.lastNameColumn), codePage, codePageIsUtf8,
                                     result.unmapped);
        employee.FirstName = nameText(field(line, settings.firstNameColumn), codePage,
                                      codePageIsUtf8, result.unmapped);
        doc.InsertEmployee(*mediaId, std::move(employee));
        doc.SetModifiedFlag();
        ++result.imported;
    }
    if (reader.failed()) {
        result.readFailed = true;
        result.reason = systemReason(errno);
        result.error = QStringLiteral("Cannot read %1: %2").arg(settings.path, result.reason);
    }
    doc.FillList(WorkspaceList::Employees);
    doc.FillList(WorkspaceList::ControllerEmployees);
    return result;
}

QStringList CsvFirstLineFields(const QString& path, const QString& codePageName, bool* opened,
                               bool* cut) {
    QString error;
    FilePtr file = openForReading(path, error);
    if (opened)
        *opened = bool(file);
    if (cut)
        *cut = false;
    if (!file)
        return {};
    // One byte past the bound tells a line that goes on from one that ends there.
    std::string head;
    head.reserve(kFirstLineBytes + 1);
    int c = 0;
    while (head.size() <= kFirstLineBytes && (c = std::getc(file.get())) != EOF) {
        head.push_back(char(c));
        if (c == '\n')
            break;
    }
    return CsvFirstLineFieldsOf(head, codePageName, cut);
}

QStringList CsvFirstLineFieldsOf(std::string_view bytes, const QString& codePageName, bool* cut) {
    bool longer = false;
    std::string_view line = bytes.substr(0, bytes.find('\n'));
    if (line.size() > kFirstLineBytes) {
        line = line.substr(0, kFirstLineBytes);
        longer = true;
    } else if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (line.substr(0, 3) == "\xEF\xBB\xBF")
        line.remove_prefix(3);
    const CCodePage codePage(codePageName);
    QStringList fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        const std::string_view part = line.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        fields.append(isValidUtf8(part) ? QString::fromUtf8(part.data(), qsizetype(part.size()))
                                        : codePage.ToUnicode(part));
        if (comma == std::string_view::npos)
            break;
        if (fields.size() == kFirstLineFields) {
            longer = true;
            break;
        }
        start = comma + 1;
    }
    if (cut)
        *cut = longer;
    return fields;
}
