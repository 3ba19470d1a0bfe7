#include "settingsstore.h"

CSettingsStore::CSettingsStore(CAppSettings& values, QObject* parent)
    : QObject(parent), m_values(values) {}

CSettingsStore& CSettingsStore::instance() {
    static CSettingsStore store(CAppSettings::instance());
    return store;
}

void CSettingsStore::apply(const CAppSettings& edited, const QStringList& names) {
    m_values.copyFrom(edited, names);
    emit changed(names);
}

bool CSettingsStore::anyOf(const QStringList& changedNames,
                           std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (changedNames.contains(QLatin1String(name)))
            return true;
    return false;
}
