#include "applinkcheck.h"

#include "appsettings.h"
#include "settingsstore.h"
#include "termview.h"

CAppLinkCheck::CAppLinkCheck(CSettingsStore& store, std::function<CTermView*()> list)
    : m_list(std::move(list)) {
    m_checker.setIntervalMinutes(store.values().LinkCheckMinutes);
    connect(&store, &CSettingsStore::changed, this, [this, &store](const QStringList& names) {
        if (CSettingsStore::anyOf(names, {"LinkCheckMinutes"}))
            m_checker.setIntervalMinutes(store.values().LinkCheckMinutes);
    });
    connect(&m_checker, &CLinkChecker::heardAt, this, [this](int comPort, const QDateTime& at) {
        if (CTermView* view = m_list ? m_list() : nullptr)
            view->SetLastHeard(comPort, at);
    });
}
