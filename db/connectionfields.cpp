#include "connectionfields.h"

#include <array>

namespace {
constexpr std::array<const char*, 6> kFieldKeys = {"Driver",   "DSN", "Server",
                                                   "Database", "UID", "PWD"};

CConnectionFields::Source sourceOf(const COdbcConnectionString& cs) {
    return cs.has(QStringLiteral("DSN")) && !cs.has(QStringLiteral("DRIVER"))
               ? CConnectionFields::Source::DataSource
               : CConnectionFields::Source::Driver;
}
} // namespace

QString CConnectionFields::passwordMask() {
    return QStringLiteral("********");
}

CConnectionFields::CConnectionFields(const QString& text) : m_cs(text), m_source(sourceOf(m_cs)) {}

bool CConnectionFields::isFieldKey(const QString& key) {
    for (const char* k : kFieldKeys)
        if (key.compare(QLatin1String(k), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString CConnectionFields::field(const char* key) const {
    return m_cs.value(QLatin1String(key));
}

void CConnectionFields::setField(const char* key, const QString& value) {
    if (value.isEmpty())
        m_cs.remove(QLatin1String(key));
    else
        m_cs.set(QLatin1String(key), value);
}

void CConnectionFields::setFront(const char* key, const QString& value) {
    const QString name = QLatin1String(key);
    if (value.isEmpty() || m_cs.has(name)) {
        setField(key, value);
        return;
    }
    // The driver or data source leads the string, where readers look for it.
    COdbcConnectionString front;
    front.set(name, value);
    for (const Attribute& a : m_cs.attributes())
        front.set(a.key, a.value);
    m_cs = front;
}

QString CConnectionFields::driver() const {
    return field("Driver");
}

QString CConnectionFields::dataSource() const {
    return field("DSN");
}

void CConnectionFields::setDriver(const QString& name) {
    m_source = Source::Driver;
    m_cs.remove(QStringLiteral("DSN"));
    setFront("Driver", name);
}

void CConnectionFields::setDataSource(const QString& name) {
    m_source = Source::DataSource;
    m_cs.remove(QStringLiteral("DRIVER"));
    setFront("DSN", name);
}

QString CConnectionFields::server() const {
    return field("Server");
}

QString CConnectionFields::database() const {
    return field("Database");
}

QString CConnectionFields::user() const {
    return field("UID");
}

QString CConnectionFields::password() const {
    return field("PWD");
}

void CConnectionFields::setServer(const QString& value) {
    setField("Server", value);
}

void CConnectionFields::setDatabase(const QString& value) {
    setField("Database", value);
}

void CConnectionFields::setUser(const QString& value) {
    setField("UID", value);
}

void CConnectionFields::setPassword(const QString& value) {
    setField("PWD", value);
}

QList<CConnectionFields::Attribute> CConnectionFields::extras() const {
    QList<Attribute> list;
    for (const Attribute& a : m_cs.attributes())
        if (!isFieldKey(a.key))
            list.append(a);
    return list;
}

void CConnectionFields::setExtras(const QList<Attribute>& extras) {
    COdbcConnectionString kept;
    for (const Attribute& a : m_cs.attributes())
        if (isFieldKey(a.key))
            kept.set(a.key, a.value);
    for (const Attribute& a : extras)
        if (!a.key.trimmed().isEmpty() && !isFieldKey(a.key.trimmed()))
            kept.set(a.key.trimmed(), a.value);
    m_cs = kept;
}

QString CConnectionFields::toMaskedString() const {
    if (password().isEmpty())
        return m_cs.toString();
    COdbcConnectionString shown = m_cs;
    shown.set(QStringLiteral("PWD"), passwordMask());
    return shown.toString();
}

void CConnectionFields::setMaskedText(const QString& text, const QString& masked) {
    m_cs = COdbcConnectionString(text);
    if (m_cs.value(QStringLiteral("PWD")) == passwordMask())
        m_cs.set(QStringLiteral("PWD"), masked);
    m_source = sourceOf(m_cs);
}
