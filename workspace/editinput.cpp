#include "editinput.h"

#include "catalogue.h"
#include "codepage.h"
#include "panetext.h"
#include "resourceids.h"
#include "tarvexdoc.h"
#include "textformat.h"

using namespace res;

namespace EditInput {

QString Refusal::Text() const {
    if (stringId == IDS_NUMBER_RANGE)
        return FormatString(stringId, low, high);
    return S(stringId);
}

Refusal CheckEmployee(const CTarvexDoc* doc, bool adding, const std::string& mediaId,
                      const std::string& lastName, const std::string& firstName) {
    if (mediaId.size() != kMediaIdLength)
        return {IDS_INVALID_MEDIAID_LENGTH, IDC_EMP_MEDIAID};
    if (adding && doc && doc->FindEmployee(mediaId))
        return {IDS_MEDIAID_EXISTS, IDC_EMP_MEDIAID};
    if (lastName.empty())
        return {IDS_NEED_LAST_NAME, IDC_EMP_LASTNAME};
    if (firstName.empty())
        return {IDS_NEED_FIRST_NAME, IDC_EMP_FIRSTNAME};
    return {};
}

EmployeeEntry CheckEmployeeTexts(const CTarvexDoc* doc, bool adding, const QString& mediaId,
                                 const QString& lastName, const QString& firstName) {
    const CCodePage& codePage = PaneText::codePage();
    EmployeeEntry entry;
    CUnmappedText unmapped;
    entry.mediaId = codePage.FromUnicode(mediaId, unmapped);
    entry.lastName = codePage.FromUnicode(lastName, unmapped);
    entry.firstName = codePage.FromUnicode(firstName, unmapped);
    entry.refusal = CheckEmployee(doc, adding, entry.mediaId, entry.lastName, entry.firstName);
    if (entry.refusal.accepted())
        entry.unmapped = unmapped;
    return entry;
}

bool ParseNumber(const QString& text, int low, int high, int& value) {
    if (text.isEmpty())
        return false;
    long long n = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
        n = n * 10 + (c.unicode() - u'0');
        // Past the upper bound it can only grow: no need to read on (and no overflow).
        if (n > high)
            return false;
    }
    if (n < low)
        return false;
    value = int(n);
    return true;
}

Refusal CheckController(const CTarvexDoc* doc, bool adding, const QString& name, const QString& id,
                        const QString& code, const QString& comPort, ControllerNumbers& numbers) {
    struct Field {
        const QString& text;
        int item, low, high;
        int& value;
    };
    const Field fields[] = {{id, IDC_TERMDLG_ID, 0, 65535, numbers.id},
                            {code, IDC_TERMDLG_CODE, 0, 65535, numbers.code},
                            {comPort, IDC_TERMDLG_COMPORT, 1, 255, numbers.comPort}};
    for (const Field& f : fields) {
        if (!ParseNumber(f.text, f.low, f.high, f.value))
            return {IDS_NUMBER_RANGE, f.item, f.low, f.high};
    }
    if (name.isEmpty())
        return {IDS_NEED_CONTROLLER_NAME, IDC_TERMDLG_NAME};
    if (adding && doc && doc->FindController(numbers.comPort))
        return {IDS_COMPORT_EXISTS, IDC_TERMDLG_COMPORT};
    return {};
}

namespace {
bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}
} // namespace

QString WithoutControls(const QString& text, int* position) {
    QString out;
    out.reserve(text.size());
    int newPosition = position ? *position : 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isControl(text.at(i).unicode())) {
            if (position && i < *position)
                --newPosition;
            continue;
        }
        out.append(text.at(i));
    }
    if (position)
        *position = newPosition;
    return out;
}

QString MediaIdAsTyped(const QString& text, int* position) {
    const QString clean = WithoutControls(text, position);
    QString out;
    out.reserve(clean.size());
    for (qsizetype i = 0; i < clean.size(); ++i) {
        const QChar c = clean.at(i);
        if (c.isHighSurrogate() && i + 1 < clean.size() && clean.at(i + 1).isLowSurrogate()) {
            const char32_t upper = QChar::toUpper(QChar::surrogateToUcs4(c, clean.at(i + 1)));
            // Only a mapping that keeps the length keeps the cursor.
            if (QChar::requiresSurrogates(upper)) {
                out.append(QChar::highSurrogate(upper));
                out.append(QChar::lowSurrogate(upper));
            } else {
                out.append(c);
                out.append(clean.at(i + 1));
            }
            ++i;
            continue;
        }
        out.append(c.toUpper());
    }
    return out;
}

} // namespace EditInput
