#pragma once

#include "unmappedtext.h"

#include <QString>

#include <string>

class CTarvexDoc;

// The checks of the employee and controller dialogs, in the order the user meets them. They
// need no window: the dialogs call them and put the focus where the refusal points.
namespace EditInput {

// What refused the input: the string to show, the dialog item to focus, and for a number out
// of range its bounds. stringId 0: accepted.
struct Refusal {
    int stringId = 0;
    int item = 0;
    int low = 0;
    int high = 0;
    bool accepted() const { return stringId == 0; }
    // The message as shown: the range message carries its bounds.
    QString Text() const;
};

inline constexpr int kMediaIdLength = 16;

// The employee dialog's OK: MediaID length (as stored: bytes of the code page), a MediaID
// already present when adding, an empty last name, an empty first name.
Refusal CheckEmployee(const CTarvexDoc* doc, bool adding, const std::string& mediaId,
                      const std::string& lastName, const std::string& firstName);

// An employee as the dialogs take it: the typed texts in the program's code page, checked.
struct EmployeeEntry {
    Refusal refusal;
    std::string mediaId;
    std::string lastName;
    std::string firstName;
    // The characters the code page could not hold (kept only when accepted).
    CUnmappedText unmapped;
};

// The texts converted as they will be stored, then CheckEmployee on them: what the Employee
// dialog's OK and the enrolment's Add both do before an employee is stored.
EmployeeEntry CheckEmployeeTexts(const CTarvexDoc* doc, bool adding, const QString& mediaId,
                                 const QString& lastName, const QString& firstName);

// A number field: digits only, within [low, high]. False for an empty text, anything else than
// decimal digits, and values that overflow.
bool ParseNumber(const QString& text, int low, int high, int& value);

struct ControllerNumbers {
    int id = 0;
    int code = 0;
    int comPort = 0;
};

// The controller dialog's OK: ID, Code and COM port in their ranges (in that order), an empty
// name, a COM port already present when adding. The numbers are filled as far as they parse.
Refusal CheckController(const CTarvexDoc* doc, bool adding, const QString& name, const QString& id,
                        const QString& code, const QString& comPort, ControllerNumbers& numbers);

// A typed or pasted text as the dialogs keep it: control characters (line breaks, tabs, the C1
// range, line and paragraph separators) would show as boxes in the lists or split a pasted line,
// so they go. `position` is a cursor into the text and moves with it.
QString WithoutControls(const QString& text, int* position = nullptr);
// The MediaID as typed: upper case, one character for one, so the cursor stays where it was.
QString MediaIdAsTyped(const QString& text, int* position = nullptr);

} // namespace EditInput
