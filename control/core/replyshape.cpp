#include "replyshape.h"

#include <algorithm>

namespace vr12comm {

namespace {
bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

bool isIdRecord(const QByteArray& record) {
    return record.size() == 22 && isHexDigit(record.at(2)) && isHexDigit(record.at(3));
}

bool isParamRecord(const QByteArray& record) {
    return record.size() == 16 && std::all_of(record.begin(), record.begin() + 4, isDigit) &&
           std::all_of(record.begin() + 4, record.end(), [](char c) { return c == '0'; });
}

bool isConfirmation(const QByteArray& block) {
    return block.size() == 19 && block.at(16) == ' ' && block.at(18) == '*';
}

} // namespace vr12comm
