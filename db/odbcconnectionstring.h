#pragma once

#include <QList>
#include <QString>

// An ODBC connection string taken apart into its KEY=value attributes, so the layer can look at
// the driver and database it names and add attributes without disturbing the user's text.
class COdbcConnectionString {
public:
    struct Attribute {
        QString key;
        QString value;
    };

    COdbcConnectionString() = default;
    explicit COdbcConnectionString(const QString& text);

    // Keys compare without regard to case; the first occurrence wins, as with the driver manager.
    bool has(const QString& key) const;
    QString value(const QString& key) const;
    void set(const QString& key, const QString& value);
    // Drops every occurrence of the key.
    void remove(const QString& key);
    const QList<Attribute>& attributes() const { return m_attributes; }

    // Rebuilds the text; values that need it are put in braces.
    QString toString() const;
    static QString quoteValue(const QString& value);

private:
    QList<Attribute> m_attributes;
};
