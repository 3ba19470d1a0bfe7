#pragma once

#include <QByteArray>

namespace vr12comm {

// The fixed fields of the controller's replies. A reply that breaks them was
// mixed with bytes of another message and is not a reply at all.

// A 22-character ID record whose slot (characters 2 and 3) is two hex digits.
bool isIdRecord(const QByteArray& record);
// A 16-character parameter record: two 2-digit relay indices, twelve "0".
bool isParamRecord(const QByteArray& record);
// A 19-character confirmation: a space at 16 and "*" at 18.
bool isConfirmation(const QByteArray& block);

} // namespace vr12comm
