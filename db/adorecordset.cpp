#include "adorecordset.h"

#include "adodatabase.h"
#include "odbchandle.h"
#include "odbctext.h"

#include <sql.h>
#include <sqlext.h>

#include <array>
#include <new>

namespace {
const QString kSource = QStringLiteral("CADORecordset");

// Long values come from the driver in parts of this size.
constexpr SQLLEN kChunkSize = 64 * 1024;
constexpr SQLLEN kReserveLimit = 64 * 1024 * 1024;

// The standard column order of the two catalog results: drivers that answer with older names
// (TABLE_QUALIFIER, TABLE_OWNER, PRECISION, ...) still put the columns in these places.
constexpr std::array<const char*, 5> kTableColumns = {"TABLE_CAT", "TABLE_SCHEM", "TABLE_NAME",
                                                      "TABLE_TYPE", "REMARKS"};
constexpr std::array<const char*, 18> kColumnColumns = {
    "TABLE_CAT",         "TABLE_SCHEM",      "TABLE_NAME",    "COLUMN_NAME",    "DATA_TYPE",
    "TYPE_NAME",         "COLUMN_SIZE",      "BUFFER_LENGTH", "DECIMAL_DIGITS", "NUM_PREC_RADIX",
    "NULLABLE",          "REMARKS",          "COLUMN_DEF",    "SQL_DATA_TYPE",  "SQL_DATETIME_SUB",
    "CHAR_OCTET_LENGTH", "ORDINAL_POSITION", "IS_NULLABLE"};

// Withheld: longer than the caller's limit, not read on.
enum class Read { Value, Null, Failed, Withheld };

// The connection's command time-out on a statement; schema lists wait for the database too.
void applyCommandTimeout(SQLHSTMT stmt, const CADODataBase& database) {
    if (const int seconds = database.GetCommandTimeout(); seconds > 0)
        SQLSetStmtAttr(stmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(seconds)),
                       0);
}

// Reads a character or binary value in parts until the driver has no more. A limit above 0
// withholds a value of more bytes: judged from the size the first part announces, or, when
// the driver cannot tell, from what has come so far; `withheld` is that size.
Read readLong(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, QByteArray& out,
              QByteArray& chunk, qint64 limit, qint64& withheld) {
    out.clear();
    withheld = 0;
    const auto withhold = [&](qint64 size) {
        withheld = size;
        out = QByteArray();
        return Read::Withheld;
    };
    if (chunk.size() != kChunkSize)
        chunk.resize(kChunkSize);
    // A character part ends in a terminating zero that is not data.
    const SQLLEN room = cType == SQL_C_CHAR    ? kChunkSize - 1
                        : cType == SQL_C_WCHAR ? kChunkSize - SQLLEN(sizeof(SQLWCHAR))
                                               : kChunkSize;
    bool first = true;
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(stmt, column, cType, chunk.data(), kChunkSize, &indicator);
        if (rc == SQL_NO_DATA)
            return first ? Read::Failed : Read::Value;
        if (!SQL_SUCCEEDED(rc))
            return Read::Failed;
        if (indicator == SQL_NULL_DATA)
            return Read::Null;
        if (first && limit > 0 && indicator != SQL_NO_TOTAL && indicator > limit)
            return withhold(indicator);
        // The announced size saves regrowing; a size beyond reason is left to grow as it comes.
        if (first && indicator > room && indicator != SQL_NO_TOTAL)
            out.reserve(qsizetype(qMin<SQLLEN>(indicator, kReserveLimit)));
        first = false;
        const bool more =
            rc == SQL_SUCCESS_WITH_INFO && (indicator == SQL_NO_TOTAL || indicator > room);
        out.append(chunk.constData(), qsizetype(more ? room : qBound<SQLLEN>(0, indicator, room)));
        if (limit > 0 && out.size() > limit)
            return withhold(out.size());
        if (!more)
            return Read::Value;
    }
}

// A character value through the wide-character conversion of the driver.
Read readText(SQLHSTMT stmt, SQLUSMALLINT column, QString& out, QByteArray& chunk, qint64 limit,
              qint64& withheld) {
    QByteArray utf16;
    const Read read = readLong(stmt, column, SQL_C_WCHAR, utf16, chunk, limit, withheld);
    out = odbcFromWide(reinterpret_cast<const SQLWCHAR*>(utf16.constData()),
                       utf16.size() / qsizetype(sizeof(SQLWCHAR)));
    return read;
}

template <typename T>
Read readFixed(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, T& out) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(stmt, column, cType, &out, sizeof out, &indicator);
    if (!SQL_SUCCEEDED(rc))
        return Read::Failed;
    return indicator == SQL_NULL_DATA ? Read::Null : Read::Value;
}

bool isCharacterType(SQLSMALLINT t) {
    switch (t) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
    case SQL_GUID:
        return true;
    default:
        return false;
    }
}
} // namespace

CADORecordset::CADORecordset(CADODataBase* database) : m_database(database) {}

CADORecordset::~CADORecordset() {
    Close();
}

void CADORecordset::diagnose(void* statement) {
    setError(adoDiagnostics(SQL_HANDLE_STMT, statement, false, kSource));
    m_lastSqlState = adoSqlState(SQL_HANDLE_STMT, statement);
}

void CADORecordset::setError(const CADOError& error) {
    m_lastErrorCode = error.code;
    m_lastSqlState.clear();
    m_lastError =
        QStringLiteral("Query = ") + m_query + u'\n' + adoErrorBlock("CADORecordset Error", error);
}

bool CADORecordset::fail(quint32 code, const QString& description) {
    setError({code, kSource, description});
    return false;
}

void CADORecordset::Close() {
    m_open = false;
    m_moreRecords = false;
    m_fields.clear();
    m_rows.clear();
    m_position = 0;
}

bool CADORecordset::Open(const QString& query, int option) {
    Close();
    if (!query.isEmpty())
        m_query = query;
    qsizetype lead = 0;
    while (lead < m_query.size() && m_query.at(lead).isSpace())
        ++lead;
    m_query.remove(0, lead);

    if (option < openUnknown || option > openStoredProc)
        return fail(AdoCode::BadArgument, QStringLiteral("Unknown open option %1.").arg(option));
    if (!m_database || !m_database->IsOpen())
        return fail(AdoCode::ObjectClosed, QStringLiteral("The database connection is not open."));
    if (m_query.trimmed().isEmpty())
        return fail(AdoCode::BadArgument, QStringLiteral("No query text given."));

    QString text = m_query;
    if (option == openTable)
        text = QStringLiteral("select * from ") + m_query;
    else if (option == openStoredProc && !m_query.startsWith(u'{'))
        text = QStringLiteral("{call ") + m_query + u'}';

    COdbcHandle stmt;
    bool noRows = false;
    if (!execute(text, stmt, noRows))
        return false;
    if (noRows)
        return true; // a searched change that touched no row
    return fetchAll(stmt.get());
}

bool CADORecordset::newStatement(COdbcHandle& stmt) {
    stmt = COdbcHandle(SQL_HANDLE_STMT, m_database->connectionHandle());
    if (!stmt)
        return fail(AdoCode::OutOfMemory, QStringLiteral("No statement could be created."));
    applyCommandTimeout(stmt.get(), *m_database);
    return true;
}

bool CADORecordset::execute(const QString& text, COdbcHandle& stmt, bool& noRows) {
    if (!newStatement(stmt))
        return false;
    std::vector<SQLWCHAR> sql = odbcWide(text);
    const SQLRETURN rc = SQLExecDirectW(stmt.get(), sql.data(), SQL_NTS);
    noRows = rc == SQL_NO_DATA;
    if (!noRows && !SQL_SUCCEEDED(rc)) {
        diagnose(stmt.get());
        return false;
    }
    return true;
}

bool CADORecordset::beginQuery(const QString& query) {
    Close();
    m_query = query.trimmed();
    if (!m_database || !m_database->IsOpen())
        return fail(AdoCode::ObjectClosed, QStringLiteral("The database connection is not open."));
    if (m_query.isEmpty())
        return fail(AdoCode::BadArgument, QStringLiteral("No query text given."));
    return true;
}

bool CADORecordset::OpenWithParameters(const QString& query,
                                       const std::vector<CADOParameter>& parameters) {
    if (!beginQuery(query))
        return false;
    COdbcHandle stmt;
    if (!newStatement(stmt))
        return false;
    std::vector<SQLWCHAR> sql = odbcWide(m_query);
    if (!SQL_SUCCEEDED(SQLPrepareW(stmt.get(), sql.data(), SQL_NTS))) {
        diagnose(stmt.get());
        return false;
    }
    // The driver reads the bound buffers when the statement runs: they live until then.
    std::vector<std::vector<SQLWCHAR>> texts(parameters.size());
    std::vector<SQLINTEGER> numbers(parameters.size(), 0);
    std::vector<SQLLEN> lengths(parameters.size(), 0);
    for (size_t i = 0; i < parameters.size(); ++i) {
        const CADOParameter& p = parameters[i];
        SQLRETURN rc = SQL_SUCCESS;
        if (p.type == CADOParameter::Integer) {
            numbers[i] = p.integer;
            rc = SQLBindParameter(stmt.get(), SQLUSMALLINT(i + 1), SQL_PARAM_INPUT, SQL_C_SLONG,
                                  SQL_INTEGER, 0, 0, &numbers[i], 0, &lengths[i]);
        } else {
            texts[i] = odbcWide(p.text);
            const SQLULEN characters = texts[i].size() - 1; // without the terminating zero
            lengths[i] = SQLLEN(characters * sizeof(SQLWCHAR));
            rc = SQLBindParameter(stmt.get(), SQLUSMALLINT(i + 1), SQL_PARAM_INPUT, SQL_C_WCHAR,
                                  SQL_WVARCHAR, qMax<SQLULEN>(characters, 1), 0, texts[i].data(),
                                  lengths[i], &lengths[i]);
        }
        if (!SQL_SUCCEEDED(rc)) {
            diagnose(stmt.get());
            return false;
        }
    }
    const SQLRETURN rc = SQLExecute(stmt.get());
    if (rc == SQL_NO_DATA)
        return true;
    if (!SQL_SUCCEEDED(rc)) {
        diagnose(stmt.get());
        return false;
    }
    return fetchAll(stmt.get());
}

bool CADORecordset::OpenForEach(const QString& query, const RowSink& sink) {
    if (!beginQuery(query))
        return false;
    COdbcHandle stmt;
    bool noRows = false;
    if (!execute(m_query, stmt, noRows))
        return false;
    if (noRows)
        return true;
    bool ok = false;
    try {
        ok = fetchRows(stmt.get(), &sink);
    } catch (const std::bad_alloc&) {
        ok = fail(AdoCode::OutOfMemory, QStringLiteral("The result is too large to be held in "
                                                       "memory."));
    }
    m_chunk = QByteArray();
    // Nothing was kept: the result reads as closed and empty.
    m_rows.clear();
    m_open = false;
    return ok;
}

bool CADORecordset::OpenSchema(int schema, const QString& restriction) {
    Close();
    if (schema != schemaTables && schema != schemaColumns)
        return fail(AdoCode::BadArgument, QStringLiteral("Unknown schema list %1.").arg(schema));
    if (!m_database || !m_database->IsOpen())
        return fail(AdoCode::ObjectClosed, QStringLiteral("The database connection is not open."));

    const COdbcHandle stmt(SQL_HANDLE_STMT, m_database->connectionHandle());
    if (!stmt)
        return fail(AdoCode::OutOfMemory, QStringLiteral("No statement could be created."));
    applyCommandTimeout(stmt.get(), *m_database);
    const SQLRETURN rc =
        schema == schemaTables
            ? SQLTables(stmt.get(), nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0)
            : SQLColumns(stmt.get(), nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0);
    if (!SQL_SUCCEEDED(rc)) {
        diagnose(stmt.get());
        return false;
    }
    if (!fetchAll(stmt.get()))
        return false;

    const auto apply = [this](const auto& names) {
        for (size_t i = 0; i < m_fields.size() && i < names.size(); ++i) {
            Field& f = m_fields[i];
            const QString standard = QLatin1String(names[i]);
            if (f.name != standard) {
                f.givenName = f.name;
                f.name = standard;
            }
        }
    };
    if (schema == schemaTables)
        apply(kTableColumns);
    else
        apply(kColumnColumns);

    // The restriction names a table exactly; a driver pattern would also match "_" and "%".
    if (!restriction.isEmpty()) {
        const int column = fieldIndex(QStringLiteral("TABLE_NAME"));
        std::erase_if(m_rows, [&](const std::vector<CADOValue>& row) {
            return column < 0 || row[size_t(column)].text != restriction;
        });
    }
    return true;
}

bool CADORecordset::fetchAll(void* statement) {
    bool ok = false;
    try {
        ok = fetchRows(statement);
    } catch (const std::bad_alloc&) {
        m_fields.clear();
        m_rows.clear();
        m_open = false;
        ok = fail(AdoCode::OutOfMemory, QStringLiteral("The result is too large to be held in "
                                                       "memory."));
    }
    m_chunk = QByteArray(); // the part buffer is only needed while fetching
    return ok;
}

bool CADORecordset::fetchRows(void* statement, const RowSink* sink) {
    SQLHSTMT stmt = statement;
    SQLSMALLINT columns = 0;
    for (;;) {
        if (!SQL_SUCCEEDED(SQLNumResultCols(stmt, &columns))) {
            diagnose(stmt);
            return false;
        }
        if (columns > 0)
            break;
        // Statements before the first result set (row counts of a procedure) give no rows.
        const SQLRETURN more = SQLMoreResults(stmt);
        if (more == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(more)) {
            diagnose(stmt);
            return false;
        }
    }

    std::vector<Field> fields(static_cast<size_t>(columns));
    for (SQLSMALLINT c = 1; c <= columns; ++c) {
        std::vector<SQLWCHAR> name(256, 0);
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        SQLRETURN rc = SQLDescribeColW(stmt, SQLUSMALLINT(c), name.data(), SQLSMALLINT(name.size()),
                                       &nameLength, &type, &size, &digits, &nullable);
        if (SQL_SUCCEEDED(rc) && std::size_t(nameLength) >= name.size()) {
            name.assign(std::size_t(nameLength) + 1, 0);
            rc = SQLDescribeColW(stmt, SQLUSMALLINT(c), name.data(), SQLSMALLINT(name.size()),
                                 &nameLength, &type, &size, &digits, &nullable);
        }
        if (!SQL_SUCCEEDED(rc)) {
            diagnose(stmt);
            return false;
        }
        SQLLEN isUnsigned = SQL_FALSE;
        SQLColAttribute(stmt, SQLUSMALLINT(c), SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &isUnsigned);
        Field& f = fields[size_t(c - 1)];
        f.name = odbcFromWide(name.data(),
                              qBound(qsizetype(0), qsizetype(nameLength), qsizetype(name.size())));
        f.sqlType = type;
        f.isUnsigned = isUnsigned == SQL_TRUE;
    }

    if (sink)
        m_fields = fields; // the names, for a sink that reads them while rows arrive
    std::vector<std::vector<CADOValue>> rows;
    long fetched = 0;
    for (;;) {
        const SQLRETURN rc = SQLFetch(stmt);
        if (rc == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(rc)) {
            diagnose(stmt);
            return false;
        }
        // The row past the last one wanted is fetched, never read: it only tells that there
        // was more.
        if (m_maxRecords > 0 && fetched == m_maxRecords) {
            m_moreRecords = true;
            break;
        }
        ++fetched;
        std::vector<CADOValue> row(static_cast<size_t>(columns));
        for (SQLSMALLINT c = 1; c <= columns; ++c) {
            if (!fetchValue(stmt, c, fields[size_t(c - 1)], row[size_t(c - 1)])) {
                diagnose(stmt);
                return false;
            }
        }
        if (!sink) {
            rows.push_back(std::move(row));
        } else if (!(*sink)(row)) {
            break;
        }
    }
    m_fields = std::move(fields);
    m_rows = std::move(rows);
    m_position = 0;
    m_open = true;
    return true;
}

bool CADORecordset::fetchValue(void* statement, int column, const Field& field, CADOValue& value) {
    SQLHSTMT stmt = statement;
    const SQLUSMALLINT col = SQLUSMALLINT(column);
    Read read = Read::Failed;
    switch (field.sqlType) {
    case SQL_BIT: {
        unsigned char bit = 0;
        read = readFixed(stmt, col, SQL_C_BIT, bit);
        value.type = CADOValue::Boolean;
        value.boolean = bit != 0;
        break;
    }
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
        if (field.isUnsigned) {
            SQLUBIGINT n = 0;
            read = readFixed(stmt, col, SQL_C_UBIGINT, n);
            value.type = CADOValue::Unsigned;
            value.unsignedInteger = n;
        } else {
            SQLBIGINT n = 0;
            read = readFixed(stmt, col, SQL_C_SBIGINT, n);
            value.type = CADOValue::Integer;
            value.integer = n;
        }
        break;
    case SQL_REAL: {
        SQLREAL f = 0;
        read = readFixed(stmt, col, SQL_C_FLOAT, f);
        value.type = CADOValue::Float;
        value.real = f;
        break;
    }
    case SQL_FLOAT:
    case SQL_DOUBLE: {
        SQLDOUBLE d = 0;
        read = readFixed(stmt, col, SQL_C_DOUBLE, d);
        value.type = CADOValue::Double;
        value.real = d;
        break;
    }
    case SQL_DECIMAL:
    case SQL_NUMERIC: {
        QString text;
        qint64 withheld = 0;
        read = readText(stmt, col, text, m_chunk, m_maxValueBytes, withheld);
        bool ok = false;
        value.real = text.trimmed().toDouble(&ok);
        value.type = ok ? CADOValue::Decimal : CADOValue::String;
        if (!ok) {
            value.text = text;
            value.withheldSize = withheld;
        }
        break;
    }
    case SQL_TYPE_DATE:
    case SQL_DATE: {
        SQL_DATE_STRUCT d{};
        read = readFixed(stmt, col, SQL_C_TYPE_DATE, d);
        value.type = CADOValue::Date;
        value.date = {d.year, d.month, d.day, 0, 0, 0};
        break;
    }
    case SQL_TYPE_TIME:
    case SQL_TIME: {
        SQL_TIME_STRUCT t{};
        read = readFixed(stmt, col, SQL_C_TYPE_TIME, t);
        value.type = CADOValue::Date;
        value.date = {1899, 12, 30, t.hour, t.minute, t.second};
        break;
    }
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP: {
        SQL_TIMESTAMP_STRUCT t{};
        read = readFixed(stmt, col, SQL_C_TYPE_TIMESTAMP, t);
        value.type = CADOValue::Date;
        value.date = {t.year, t.month, t.day, t.hour, t.minute, t.second};
        break;
    }
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        read = readLong(stmt, col, SQL_C_BINARY, value.bytes, m_chunk, m_maxValueBytes,
                        value.withheldSize);
        value.type = CADOValue::Bytes;
        break;
    default:
        if (isCharacterType(field.sqlType)) {
            read = readText(stmt, col, value.text, m_chunk, m_maxValueBytes, value.withheldSize);
            value.type = CADOValue::String;
        } else {
            value.type = CADOValue::Other;
            return true;
        }
        break;
    }
    if (read != Read::Value && value.type != CADOValue::String && value.type != CADOValue::Bytes) {
        // A value the driver cannot give in its declared type (a date column holding free
        // text, say) is still worth showing as the text it holds; the SQLite driver even
        // reports such a value as NULL. Drivers that allow one read per value answer the
        // second read with no data, and the NULL stands.
        QString text;
        qint64 withheld = 0;
        const Read asText = readText(stmt, col, text, m_chunk, m_maxValueBytes, withheld);
        if (asText == Read::Value || asText == Read::Withheld || read == Read::Failed) {
            read = asText;
            value = CADOValue();
            value.type = CADOValue::String;
            value.text = text;
            value.withheldSize = withheld;
        }
    }
    if (read == Read::Failed)
        return false;
    if (read == Read::Null) {
        value = CADOValue();
        value.type = CADOValue::Null;
    }
    return true;
}

bool CADORecordset::failWithheld(int index, qint64 size) {
    return fail(AdoCode::OutOfMemory,
                QStringLiteral("The field \"%1\" holds %2 bytes, more than the %3 this result "
                               "reads.")
                    .arg(GetFieldName(index))
                    .arg(size)
                    .arg(m_maxValueBytes));
}

int CADORecordset::fieldIndex(const QString& name) const {
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name == name)
            return int(i);
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (!m_fields[i].givenName.isEmpty() && m_fields[i].givenName == name)
            return int(i);
    // Database names are rarely case-sensitive; neither is the lookup, as a last resort.
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0 ||
            (!m_fields[i].givenName.isEmpty() &&
             m_fields[i].givenName.compare(name, Qt::CaseInsensitive) == 0))
            return int(i);
    return -1;
}

QString CADORecordset::GetFieldName(int index) const {
    if (index < 0 || size_t(index) >= m_fields.size())
        return QString();
    return m_fields[size_t(index)].name;
}

const CADOValue* CADORecordset::currentValue(int index) {
    if (!m_open) {
        fail(AdoCode::ObjectClosed, QStringLiteral("The result is closed."));
        return nullptr;
    }
    if (index < 0 || size_t(index) >= m_fields.size()) {
        fail(AdoCode::FieldNotFound,
             QStringLiteral("No field number %1 in the result.").arg(index));
        return nullptr;
    }
    if (IsEof()) {
        fail(AdoCode::NoCurrentRow, QStringLiteral("There is no current row."));
        return nullptr;
    }
    return &m_rows[m_position][size_t(index)];
}

const CADOValue* CADORecordset::GetFieldRawValue(int index) {
    return currentValue(index);
}

const CADOValue* CADORecordset::GetFieldRawValue(const QString& field) {
    const int index = fieldIndex(field);
    if (index < 0 && m_open) {
        fail(AdoCode::FieldNotFound,
             QStringLiteral("No field named \"%1\" in the result.").arg(field));
        return nullptr;
    }
    return currentValue(index);
}

bool CADORecordset::GetFieldValue(int index, QString& value, const QString& dateFormat) {
    value.clear();
    const CADOValue* v = currentValue(index);
    if (!v)
        return false;
    if (v->withheldSize > 0)
        return failWithheld(index, v->withheldSize);
    if (!adoValueToText(*v, value, dateFormat))
        return fail(AdoCode::TypeMismatch,
                    QStringLiteral("The field \"%1\" holds a value that has no text form.")
                        .arg(m_fields[size_t(index)].name));
    return true;
}

bool CADORecordset::GetFieldValue(const QString& field, QString& value, const QString& dateFormat) {
    value.clear();
    const int index = fieldIndex(field);
    if (index < 0 && m_open)
        return fail(AdoCode::FieldNotFound,
                    QStringLiteral("No field named \"%1\" in the result.").arg(field));
    return GetFieldValue(index, value, dateFormat);
}

bool CADORecordset::GetFieldActualSize(const QString& field, qint64& size) {
    size = 0;
    const CADOValue* v = GetFieldRawValue(field);
    if (!v)
        return false;
    if (v->withheldSize > 0) {
        size = v->withheldSize;
        return true;
    }
    switch (v->type) {
    case CADOValue::Bytes:
        size = v->bytes.size();
        break;
    case CADOValue::String:
        size = v->text.toUtf8().size();
        break;
    default:
        break;
    }
    return true;
}

bool CADORecordset::GetFieldBytes(const QString& field, qint64 count, QByteArray& bytes) {
    bytes.clear();
    const CADOValue* v = GetFieldRawValue(field);
    if (!v)
        return false;
    if (v->type != CADOValue::Bytes)
        return fail(AdoCode::TypeMismatch,
                    QStringLiteral("The field \"%1\" does not hold binary data.").arg(field));
    if (v->withheldSize > 0)
        return failWithheld(fieldIndex(field), v->withheldSize);
    bytes = v->bytes.left(qsizetype(qBound<qint64>(0, count, v->bytes.size())));
    return true;
}
