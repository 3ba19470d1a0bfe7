#pragma once

#include "odbcconnectionstring.h"

#include <QList>
#include <QString>

// A connection string as the connection dialog edits it: the driver or data source it names,
// the usual keys as fields and whatever else the user wrote as free extra keys. The user's
// order of keys survives the editing; a field emptied drops its key.
class CConnectionFields {
public:
    enum class Source { Driver, DataSource };
    using Attribute = COdbcConnectionString::Attribute;

    // What the raw text shows in place of a password.
    static QString passwordMask();

    CConnectionFields() = default;
    explicit CConnectionFields(const QString& text);

    // A data source when the string names one and no driver.
    Source source() const { return m_source; }
    QString driver() const;
    QString dataSource() const;
    // Choosing one drops the other.
    void setDriver(const QString& name);
    void setDataSource(const QString& name);

    QString server() const;
    QString database() const;
    QString user() const;
    QString password() const;
    void setServer(const QString& value);
    void setDatabase(const QString& value);
    void setUser(const QString& value);
    void setPassword(const QString& value);

    // The keys that have no field of their own, in the order of the string.
    QList<Attribute> extras() const;
    // Replaces them; rows without a key are left out.
    void setExtras(const QList<Attribute>& extras);

    QString toString() const { return m_cs.toString(); }
    // The string with the password replaced by the mask, for showing.
    QString toMaskedString() const;
    // Takes raw text edited from the masked form: a password still equal to the mask stands for
    // `masked`, the password that was masked when the text was shown.
    void setMaskedText(const QString& text, const QString& masked);

private:
    QString field(const char* key) const;
    void setField(const char* key, const QString& value);
    void setFront(const char* key, const QString& value);
    static bool isFieldKey(const QString& key);

    COdbcConnectionString m_cs;
    Source m_source = Source::Driver;
};
