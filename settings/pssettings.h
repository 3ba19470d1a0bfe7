#pragma once

#include <QDialog>

class CPP_Misc;
class CPP_MorrowReportsDB;
class CPP_Photo;
class ISettingsListener;
class IUserPrompts;
class QTabWidget;

// The settings sheet: the reporting database, the photographs and the rest, on copies of the
// settings. Only OK changes anything: it takes the pages' values over, tells the listener (every
// controller's log follows the folder, the settings are saved, both databases reopened) and
// applies the visual style.
class CPS_Settings : public QDialog {
    Q_OBJECT
public:
    CPS_Settings(IUserPrompts& prompts, ISettingsListener& listener, QWidget* parent = nullptr);
    ~CPS_Settings() override;

    CPP_MorrowReportsDB* reportsPage() const { return m_reports; }
    CPP_Photo* photoPage() const { return m_photo; }
    CPP_Misc* miscPage() const { return m_misc; }
    QTabWidget* tabs() const { return m_tabs; }

    // The command: shows the sheet over owner and applies it when confirmed.
    static void Run(IUserPrompts& prompts, ISettingsListener& listener, QWidget* owner);

    void accept() override;

private:
    void pageShown(int index);
    // The steps after OK.
    void apply();

    IUserPrompts& m_prompts;
    ISettingsListener& m_listener;
    QTabWidget* m_tabs = nullptr;
    CPP_MorrowReportsDB* m_reports = nullptr;
    CPP_Photo* m_photo = nullptr;
    CPP_Misc* m_misc = nullptr;
};
