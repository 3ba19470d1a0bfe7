#pragma once

#include <QString>

// The connection-string prompt used by the settings pages and the database import wizard. The
// dialog itself lives with the windowed code: it derives from this class, shows the installed
// drivers and data sources (odbcregistry.h), lets the user fill the keys or edit the raw text,
// and tests the connection with CADODataBase. Keeping the contract here lets the pages be
// written, and tested, against any implementation.
class CDataLinkPrompt {
public:
    virtual ~CDataLinkPrompt();

    // Asks for a new connection. On confirm keeps its string and gives true; on cancel empties
    // the string and gives false.
    bool PromptNew();
    // Offers `connection` for editing. On confirm keeps the edited string and gives true;
    // otherwise false, keeping the previous string.
    bool PromptEdit(const QString& connection);

    QString GetConnectionString() const { return m_connectionString; }

protected:
    // Shows the dialog starting from `initial` (empty for a new connection); true with the
    // resulting string in `result` when the user confirms.
    virtual bool runDialog(const QString& initial, QString& result) = 0;

private:
    QString m_connectionString;
};
