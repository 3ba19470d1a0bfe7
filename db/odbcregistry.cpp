#include "odbcregistry.h"

#include "odbchandle.h"

#include <sql.h>
#include <sqlext.h>

QList<COdbcDriverInfo> odbcInstalledDrivers() {
    QList<COdbcDriverInfo> drivers;
    // A short-lived environment, so callers need no open connection.
    const COdbcHandle env = COdbcHandle::Environment();
    if (!env)
        return drivers;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLCHAR name[512] = {};
        SQLCHAR attributes[4096] = {};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT attributesLength = 0;
        const SQLRETURN rc = SQLDrivers(env.get(), direction, name, sizeof name, &nameLength,
                                        attributes, sizeof attributes, &attributesLength);
        if (!SQL_SUCCEEDED(rc))
            break;
        direction = SQL_FETCH_NEXT;
        COdbcDriverInfo info;
        info.name = QString::fromUtf8(reinterpret_cast<const char*>(name));
        // Attributes come as "key=value\0key=value\0\0".
        const char* p = reinterpret_cast<const char*>(attributes);
        const char* end = p + qMin<qsizetype>(attributesLength, sizeof attributes - 1);
        while (p < end && *p) {
            const QString pair = QString::fromUtf8(p);
            p += qstrlen(p) + 1;
            const qsizetype eq = pair.indexOf(u'=');
            if (eq > 0 &&
                pair.left(eq).trimmed().compare(QLatin1String("Driver"), Qt::CaseInsensitive) == 0)
                info.library = pair.mid(eq + 1).trimmed();
        }
        drivers.append(info);
    }
    return drivers;
}

QList<COdbcDataSourceInfo> odbcDataSources() {
    QList<COdbcDataSourceInfo> sources;
    // A short-lived environment, so callers need no open connection.
    const COdbcHandle env = COdbcHandle::Environment();
    if (!env)
        return sources;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLCHAR name[SQL_MAX_DSN_LENGTH + 1] = {};
        SQLCHAR description[512] = {};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT descriptionLength = 0;
        const SQLRETURN rc = SQLDataSources(env.get(), direction, name, sizeof name, &nameLength,
                                            description, sizeof description, &descriptionLength);
        if (!SQL_SUCCEEDED(rc))
            break;
        direction = SQL_FETCH_NEXT;
        sources.append({QString::fromUtf8(reinterpret_cast<const char*>(name)),
                        QString::fromUtf8(reinterpret_cast<const char*>(description))});
    }
    return sources;
}
