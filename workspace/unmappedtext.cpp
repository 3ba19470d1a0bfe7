#include "unmappedtext.h"

void CUnmappedText::Add(const QString& character, const QString& text) {
    if (m_count == 0) {
        m_firstCharacter = character;
        m_firstText = text;
    }
    ++m_count;
}

void CUnmappedText::Merge(const CUnmappedText& other) {
    if (other.IsEmpty())
        return;
    if (IsEmpty()) {
        m_firstCharacter = other.m_firstCharacter;
        m_firstText = other.m_firstText;
    }
    m_count += other.m_count;
}

QString CUnmappedText::Warning(const QString& codePageName) const {
    if (IsEmpty())
        return QString();
    const QString what =
        m_count == 1 ? QStringLiteral("1 character") : QStringLiteral("%1 characters").arg(m_count);
    return QStringLiteral("%1 cannot be stored in code page %2 and became \"?\", the first: \"%3\" "
                          "in \"%4\"")
        .arg(what, codePageName, m_firstCharacter, m_firstText);
}
