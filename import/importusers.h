#pragma once

#include "csvimport.h"

#include <QWizard>

class CPP_ImportTxtColumns;
class CPP_ImportTxtFile;
class CPP_ImportTxtFinish;
class CPP_ImportTxtWelcome;
class IUserPrompts;

// The text import wizard: collects the file, the fields and the media type. It imports
// nothing itself; the caller runs the import with settings() after Finish.
class CPS_ImportUsers : public QWizard {
    Q_OBJECT
public:
    CPS_ImportUsers(IUserPrompts& prompts, const QString& initialPath, QWidget* parent = nullptr);

    CsvImportSettings settings() const;

    CPP_ImportTxtWelcome* welcomePage() const { return m_welcome; }
    CPP_ImportTxtFile* filePage() const { return m_file; }
    CPP_ImportTxtColumns* columnsPage() const { return m_columns; }
    CPP_ImportTxtFinish* finishPage() const { return m_finish; }

private:
    CPP_ImportTxtWelcome* m_welcome;
    CPP_ImportTxtFile* m_file;
    CPP_ImportTxtColumns* m_columns;
    CPP_ImportTxtFinish* m_finish;
};
