#include "appalerts.h"

#include "appsettings.h"
#include "mainframe.h"
#include "mainframetray.h"
#include "tarvexdoc.h"
#include "termrecord.h"

CAppAlerts::CAppAlerts(std::function<CMainFrame*()> frame, std::function<CTarvexDoc*()> document,
                       CAlertEngine::Clock clock)
    : m_frame(std::move(frame)), m_document(std::move(document)), m_engine(std::move(clock)),
      m_command(m_list, [this]() -> QWidget* { return m_frame ? m_frame() : nullptr; }) {
    m_engine.setRules(CAlertEngine::Rules::from(CAppSettings::instance()));
    m_engine.setControllerIds([this](int comPort) {
        const CTarvexDoc* doc = m_document ? m_document() : nullptr;
        const CTermRecord* record = doc ? doc->FindController(comPort) : nullptr;
        return record ? record->ID : 0;
    });
    connect(&m_engine, &CAlertEngine::raised, this, &CAppAlerts::show);
    connect(&m_engine, &CAlertEngine::lastingChanged, this, [this] {
        if (CMainFrame* frame = m_frame ? m_frame() : nullptr)
            frame->ShowAlertLine(m_engine.statusLine());
    });
}

void CAppAlerts::show(const Alert& alert) {
    m_list.add(alert);
    CMainFrame* frame = m_frame ? m_frame() : nullptr;
    if (!frame)
        return;
    frame->ShowAlertLine(m_engine.statusLine());
    if (auto* tray = frame->findChild<CMainFrameTray*>())
        tray->ShowNotice(alert.text);
}
