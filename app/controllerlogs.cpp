#include "controllerlogs.h"

#include "appsettings.h"
#include "tarvexdoc.h"
#include "termpanel.h"
#include "termrecord.h"

CControllerLogs::CControllerLogs(std::function<CTarvexDoc*()> document,
                                 CMonthWatcher::Clock clock, QObject* parent)
    : QObject(parent), m_document(std::move(document)), m_watcher(nullptr, std::move(clock)) {
    connect(&m_watcher, &CMonthWatcher::monthChanged, this, &CControllerLogs::OnMonthChanged);
}

void CControllerLogs::OnMonthChanged(const QString& monthlyFileName) {
    CAppSettings::instance().MonthlyFileName = monthlyFileName;
    PointAtRegistrationsFile();
}

void CControllerLogs::PointAtRegistrationsFile() {
    CTarvexDoc* doc = m_document ? m_document() : nullptr;
    if (!doc)
        return;
    const QString file = CAppSettings::instance().registrationsFile();
    for (const auto& [port, record] : doc->Controllers())
        if (record.Panel)
            record.Panel->SetRegistrationsFile(file);
}
