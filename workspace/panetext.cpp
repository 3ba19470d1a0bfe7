#include "panetext.h"

#include "codepage.h"

#include <memory>

namespace {
std::unique_ptr<CCodePage>& current() {
    static std::unique_ptr<CCodePage> cp = std::make_unique<CCodePage>();
    return cp;
}
} // namespace

namespace PaneText {
const CCodePage& codePage() {
    return *current();
}

void setCodePage(const QString& name) {
    current() = std::make_unique<CCodePage>(name);
}

QString toUnicode(const std::string& bytes) {
    return current()->ToUnicode(bytes);
}

QString ascii(const std::string& bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return toUnicode(bytes);
    }
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}
} // namespace PaneText
