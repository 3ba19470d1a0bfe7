#include "sqlidentifier.h"

#include "adodatabase.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// Words that read as syntax rather than as a name in the query this program writes.
constexpr std::array<std::string_view, 36> kReserved = {
    "ALL",      "AND",   "AS",        "ASC",    "BETWEEN", "BY",     "CASE",  "CROSS", "DESC",
    "DISTINCT", "ELSE",  "END",       "EXCEPT", "EXISTS",  "FROM",   "FULL",  "GROUP", "HAVING",
    "IN",       "INNER", "INTERSECT", "IS",     "JOIN",    "LEFT",   "LIKE",  "NOT",   "NULL",
    "ON",       "OR",    "ORDER",     "OUTER",  "RIGHT",   "SELECT", "TABLE", "UNION", "WHERE"};

bool isPlainCharacter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_';
}

bool isReserved(const QString& name) {
    const QByteArray upper = name.toUpper().toLatin1();
    const std::string_view word(upper.constData(), std::size_t(upper.size()));
    return std::find(kReserved.begin(), kReserved.end(), word) != kReserved.end();
}

} // namespace

SqlIdentifierRules IdentifierRulesOf(const CADODataBase& db) {
    SqlIdentifierRules rules;
    auto* dbc = static_cast<SQLHDBC>(db.connectionHandle());
    if (!dbc)
        return rules;
    SQLCHAR quote[8] = {};
    SQLSMALLINT length = 0;
    if (SQL_SUCCEEDED(SQLGetInfo(dbc, SQL_IDENTIFIER_QUOTE_CHAR, quote, sizeof quote, &length))) {
        // A blank means the driver has no way to delimit names.
        const QString text = QString::fromLatin1(reinterpret_cast<const char*>(quote)).trimmed();
        rules.quote = text;
    }
    SQLUSMALLINT folding = 0;
    if (SQL_SUCCEEDED(SQLGetInfo(dbc, SQL_IDENTIFIER_CASE, &folding, sizeof folding, nullptr))) {
        if (folding == SQL_IC_UPPER)
            rules.folding = SqlIdentifierRules::Folding::Upper;
        else if (folding == SQL_IC_LOWER)
            rules.folding = SqlIdentifierRules::Folding::Lower;
    }
    return rules;
}

QString QuoteSchemaName(const QString& name, const SqlIdentifierRules& rules) {
    if (rules.quote.isEmpty())
        return name;
    QString doubled = name;
    doubled.replace(rules.quote, rules.quote + rules.quote);
    return rules.quote + doubled + rules.quote;
}

QString QuoteIdentifierIfNeeded(const QString& name, const SqlIdentifierRules& rules) {
    if (rules.quote.isEmpty() || name.isEmpty())
        return name;
    bool needs = name.front().isDigit() || isReserved(name) ||
                 !std::all_of(name.begin(), name.end(), isPlainCharacter);
    if (rules.folding == SqlIdentifierRules::Folding::Upper)
        needs = needs || name != name.toUpper();
    else if (rules.folding == SqlIdentifierRules::Folding::Lower)
        needs = needs || name != name.toLower();
    return needs ? QuoteSchemaName(name, rules) : name;
}
