#pragma once

#include <QDialog>

class CPP_Misc;
class CPP_MorrowReportsDB;
class CPP_Photo;
class CTarvexApp;
class QTabWidget;

// The settings sheet: the reporting database, the photographs and the rest, on copies of the
// settings. Only OK changes anything: it takes the pages' values over, points every controller's
// log at the folder, saves, reopens both databases and applies the visual style.
class CPS_Settings : public QDialog {
    Q_OBJECT
public:
    CPS_Settings(CTarvexApp& app, QWidget* parent = nullptr);
    ~CPS_Settings() override;

    CPP_MorrowReportsDB* reportsPage() const { return m_reports; }
    CPP_Photo* photoPage() const { return m_photo; }
    CPP_Misc* miscPage() const { return m_misc; }
    QTabWidget* tabs() const { return m_tabs; }

    // The command: shows the sheet and applies it when confirmed.
    static void Run(CTarvexApp& app);
    // Makes the application's Settings command open the sheet.
    static void Install(CTarvexApp& app);

    void accept() override;

private:
    void pageShown(int index);
    // The steps after OK.
    void apply();

    CTarvexApp& m_app;
    QTabWidget* m_tabs = nullptr;
    CPP_MorrowReportsDB* m_reports = nullptr;
    CPP_Photo* m_photo = nullptr;
    CPP_Misc* m_misc = nullptr;
};
