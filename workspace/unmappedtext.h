#pragma once

#include <QString>

// The characters that conversions into the code page had to store as '?', gathered over one
// operation (an import, a dialog's fields) so that it ends in one warning, not one per text.
class CUnmappedText {
public:
    // One character (a surrogate pair counts as one) that became '?', found in `text`.
    void Add(const QString& character, const QString& text);
    void Merge(const CUnmappedText& other);

    bool IsEmpty() const { return m_count == 0; }
    int Count() const { return m_count; }
    // The first character that was lost, and the text it stood in.
    QString FirstCharacter() const { return m_firstCharacter; }
    QString FirstText() const { return m_firstText; }

    // One line naming the count and the first example; empty when nothing was lost.
    QString Warning(const QString& codePageName) const;

private:
    int m_count = 0;
    QString m_firstCharacter;
    QString m_firstText;
};
