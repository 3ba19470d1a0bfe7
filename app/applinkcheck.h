#pragma once

#include "linkchecker.h"

#include <QObject>

#include <functional>

class CSettingsStore;
class CTermView;

// The program's link check: one for every controller form, at LinkCheckMinutes as the settings
// say now, and each controller heard shown in the controllers list.
class CAppLinkCheck : public QObject {
    Q_OBJECT
public:
    CAppLinkCheck(CSettingsStore& store, std::function<CTermView*()> list);

    CLinkChecker& checker() { return m_checker; }

private:
    CLinkChecker m_checker;
    std::function<CTermView*()> m_list;
};
