#pragma once

#include <QString>

class CADODataBase;

// How a driver reads names in statement text: the character that delimits a name (empty when
// the driver has none) and how it folds the case of names written without it.
struct SqlIdentifierRules {
    enum class Folding { None, Upper, Lower };
    QString quote;
    Folding folding = Folding::None;
};

// The rules of the open connection, from the driver's SQLGetInfo answers.
SqlIdentifierRules IdentifierRulesOf(const CADODataBase& db);

// `name` as statement text: as it stands when the driver reads it back unchanged, otherwise
// delimited with the quote character (a quote inside doubled). Names that need it: anything
// but letters, digits and '_', a leading digit, a case the driver would fold, a reserved word.
QString QuoteIdentifierIfNeeded(const QString& name, const SqlIdentifierRules& rules);

// A name the driver's own schema list gave: always delimited when the driver has a quote
// character, since no list of reserved words covers every database (a column "user" reads as
// the login name on some, "key" and "index" as syntax on others).
QString QuoteSchemaName(const QString& name, const SqlIdentifierRules& rules);
