#pragma once

#include "appsettings.h"

#include <QDialog>

class CPP_Misc;
class CPP_MorrowReportsDB;
class CPP_Photo;
class CSettingsStore;
class IUserPrompts;
class QTabWidget;

// The settings sheet: the reporting database, the photographs and the rest, on a copy of the
// settings that its pages edit. Only OK changes anything: the store takes the sheet's values
// over and its followers take them up (every controller's log follows the folder, the settings
// are saved, both databases reopened, the visual style applied).
class CPS_Settings : public QDialog {
    Q_OBJECT
public:
    CPS_Settings(IUserPrompts& prompts, CSettingsStore& store, QWidget* parent = nullptr);
    ~CPS_Settings() override;

    CPP_MorrowReportsDB* reportsPage() const { return m_reports; }
    CPP_Photo* photoPage() const { return m_photo; }
    CPP_Misc* miscPage() const { return m_misc; }
    QTabWidget* tabs() const { return m_tabs; }

    // The command: shows the sheet over owner and applies it when confirmed.
    static void Run(IUserPrompts& prompts, CSettingsStore& store, QWidget* owner);

    void accept() override;

private:
    void pageShown(int index);
    // The steps after OK.
    void apply();

    IUserPrompts& m_prompts;
    CSettingsStore& m_store;
    CAppSettings m_edited;
    QTabWidget* m_tabs = nullptr;
    CPP_MorrowReportsDB* m_reports = nullptr;
    CPP_Photo* m_photo = nullptr;
    CPP_Misc* m_misc = nullptr;
};
