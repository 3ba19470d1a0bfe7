#include "datalinkprompt.h"

CDataLinkPrompt::~CDataLinkPrompt() = default;

bool CDataLinkPrompt::PromptNew() {
    QString result;
    if (runDialog(QString(), result)) {
        m_connectionString = result;
        return true;
    }
    m_connectionString.clear();
    return false;
}

bool CDataLinkPrompt::PromptEdit(const QString& connection) {
    QString result;
    if (!runDialog(connection, result))
        return false;
    m_connectionString = result;
    return true;
}
