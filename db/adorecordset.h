#pragma once

#include "adoerror.h"
#include "adoparameter.h"
#include "adovalue.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

class CADODataBase;
class COdbcHandle;

// One result of a query or a schema request on a CADODataBase, fetched whole into memory (a
// static client-side cursor): moving and counting never go back to the driver. The database
// must outlive the result.
class CADORecordset {
public:
    // Open options: let the driver decide, a query, a table name, a stored procedure.
    enum OpenOption { openUnknown = 0, openQuery = 1, openTable = 2, openStoredProc = 3 };
    // Schema lists: the columns (4) and the tables (20).
    enum Schema { schemaColumns = 4, schemaTables = 20 };

    explicit CADORecordset(CADODataBase* database);
    ~CADORecordset();
    CADORecordset(const CADORecordset&) = delete;
    CADORecordset& operator=(const CADORecordset&) = delete;

    // Runs the text; a non-empty text replaces the stored query. A statement that gives no rows
    // succeeds with a closed result.
    bool Open(const QString& query = QString(), int option = openUnknown);
    // Runs the text with each "?" bound, in order, to one of the values; the result is read as
    // Open reads it. The text is kept as the query; the values never enter it.
    bool OpenWithParameters(const QString& query, const std::vector<CADOParameter>& parameters);
    // Runs the query and hands each row to `sink` as it is fetched, keeping none, so that a
    // result of any size passes in the memory of one row; `sink` returns false to stop. The
    // field names are known while rows arrive; afterwards the result reads as closed.
    using RowSink = std::function<bool(const std::vector<CADOValue>& row)>;
    bool OpenForEach(const QString& query, const RowSink& sink);
    // The tables or columns list; a non-empty restriction names the table.
    bool OpenSchema(int schema, const QString& restriction = QString());
    void Close();
    bool IsOpen() const { return m_open; }

    // At most this many rows are read into the result of the next Open (0: all); whether more
    // followed shows in HasMoreRecords, without their values being read.
    void SetMaxRecords(long count) { m_maxRecords = count < 0 ? 0 : count; }
    bool HasMoreRecords() const { return m_moreRecords; }
    // A character or binary value of more bytes than this is not read (0: no limit): the
    // result keeps its size only, and fetching its bytes or text fails. The size is judged
    // from the driver's first part, before the rest of the value is transferred.
    void SetMaxValueBytes(qint64 bytes) { m_maxValueBytes = bytes < 0 ? 0 : bytes; }

    bool IsEof() const { return m_position >= m_rows.size(); }
    void MoveFirst() { m_position = 0; }
    void MoveNext() {
        if (m_position < m_rows.size())
            ++m_position;
    }
    // The rows of the result; a closed result has none.
    long GetRecordCount() const { return long(m_rows.size()); }

    int GetFieldCount() const { return int(m_fields.size()); }
    QString GetFieldName(int index) const;
    // The current row's field as text (see adoValueToText); false for an unknown field, no
    // current row, or a value that has no text form.
    bool GetFieldValue(const QString& field, QString& value, const QString& dateFormat = QString());
    bool GetFieldValue(int index, QString& value, const QString& dateFormat = QString());
    // The current row's raw value, or nullptr (error captured) when there is none.
    const CADOValue* GetFieldRawValue(const QString& field);
    const CADOValue* GetFieldRawValue(int index);

    // Long binary values: the size in bytes, and up to that many bytes. Fetching fails for a
    // value that is not binary or was not read for its size; its size is 0 when NULL.
    bool GetFieldActualSize(const QString& field, qint64& size);
    bool GetFieldBytes(const QString& field, qint64 count, QByteArray& bytes);

    QString GetQuery() const { return m_query; }
    // "Query = <query>\n" followed by the "CADORecordset Error" block.
    QString GetLastErrorString() const { return m_lastError; }
    quint32 GetLastError() const { return m_lastErrorCode; }
    // The SQLSTATE of the last failure the driver reported; empty for the layer's own.
    QString GetLastSqlState() const { return m_lastSqlState; }

private:
    struct Field {
        QString name;      // the name the result is read by
        QString givenName; // the driver's name for the column, when it differs
        short sqlType = 0;
        bool isUnsigned = false;
    };

    void setError(const CADOError& error);
    // The driver's diagnostics of the statement's last call.
    void diagnose(void* statement);
    bool fail(quint32 code, const QString& description);
    // The value of field `index` was not read for its size.
    bool failWithheld(int index, qint64 size);
    int fieldIndex(const QString& name) const;
    const CADOValue* currentValue(int index);
    // Reads the columns and every row of the statement's current result.
    bool fetchAll(void* statement);
    bool fetchRows(void* statement, const RowSink* sink = nullptr);
    bool execute(const QString& text, COdbcHandle& stmt, bool& noRows);
    bool newStatement(COdbcHandle& stmt);
    // Closes the result and keeps the query; false when there is no query or no connection.
    bool beginQuery(const QString& query);
    bool fetchValue(void* statement, int column, const Field& field, CADOValue& value);

    CADODataBase* m_database;
    QString m_query;
    QString m_lastError;
    quint32 m_lastErrorCode = 0;
    QString m_lastSqlState;
    bool m_open = false;
    std::vector<Field> m_fields;
    std::vector<std::vector<CADOValue>> m_rows;
    size_t m_position = 0;
    long m_maxRecords = 0;
    bool m_moreRecords = false;
    qint64 m_maxValueBytes = 0;
    QByteArray m_chunk; // one part of a long value, reused for every value
};
