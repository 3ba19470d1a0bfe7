#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

// Comma-separated text as RFC 4180 has it, in UTF-8: a field holding a comma, a double quote,
// CR or LF is enclosed in double quotes with its quotes doubled; a record ends in CR LF.
void appendCsvField(std::string& out, std::string_view utf8);
void appendCsvRecord(std::string& out, const QStringList& fields);
