#include "odbcconnectionstring.h"

COdbcConnectionString::COdbcConnectionString(const QString& text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && (text[i] == u';' || text[i].isSpace()))
            ++i;
        if (i >= n)
            break;
        const qsizetype eq = text.indexOf(u'=', i);
        const qsizetype semi = text.indexOf(u';', i);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            // A word without "=": keep it as a key with no value and go on.
            const qsizetype end = semi < 0 ? n : semi;
            m_attributes.append({text.mid(i, end - i).trimmed(), QString()});
            i = end;
            continue;
        }
        Attribute attribute;
        attribute.key = text.mid(i, eq - i).trimmed();
        i = eq + 1;
        while (i < n && text[i] == u' ')
            ++i;
        if (i < n && text[i] == u'{') {
            // Braced value: "}}" stands for one "}", and ";" has no special meaning inside.
            ++i;
            while (i < n) {
                if (text[i] == u'}') {
                    if (i + 1 < n && text[i + 1] == u'}') {
                        attribute.value += u'}';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                attribute.value += text[i++];
            }
            while (i < n && text[i] != u';')
                ++i;
        } else {
            const qsizetype end = text.indexOf(u';', i);
            attribute.value = text.mid(i, (end < 0 ? n : end) - i).trimmed();
            i = end < 0 ? n : end;
        }
        m_attributes.append(attribute);
    }
}

bool COdbcConnectionString::has(const QString& key) const {
    for (const Attribute& a : m_attributes)
        if (a.key.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString COdbcConnectionString::value(const QString& key) const {
    for (const Attribute& a : m_attributes)
        if (a.key.compare(key, Qt::CaseInsensitive) == 0)
            return a.value;
    return QString();
}

void COdbcConnectionString::set(const QString& key, const QString& value) {
    for (Attribute& a : m_attributes) {
        if (a.key.compare(key, Qt::CaseInsensitive) == 0) {
            a.value = value;
            return;
        }
    }
    m_attributes.append({key, value});
}

void COdbcConnectionString::remove(const QString& key) {
    m_attributes.removeIf(
        [&](const Attribute& a) { return a.key.compare(key, Qt::CaseInsensitive) == 0; });
}

QString COdbcConnectionString::quoteValue(const QString& value) {
    const bool needsBraces = value.contains(u';') || value.contains(u'{') || value.contains(u'}') ||
                             value != value.trimmed();
    if (!needsBraces)
        return value;
    QString quoted = value;
    quoted.replace(QStringLiteral("}"), QStringLiteral("}}"));
    return u'{' + quoted + u'}';
}

QString COdbcConnectionString::toString() const {
    QStringList parts;
    for (const Attribute& a : m_attributes)
        parts << a.key + u'=' + quoteValue(a.value);
    return parts.join(u';');
}
