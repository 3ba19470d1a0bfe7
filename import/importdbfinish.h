#pragma once

#include <QWizardPage>

class CPP_ImportDBColumns;
class CPP_ImportDBConnStr;
class QLabel;
class QPlainTextEdit;
class QTreeWidget;

// The database import wizard's overview of the choices before the import.
class CPP_ImportDBFinish : public QWizardPage {
    Q_OBJECT
public:
    CPP_ImportDBFinish(const CPP_ImportDBConnStr& connectionPage,
                       const CPP_ImportDBColumns& columnsPage, QWidget* parent = nullptr);

    void initializePage() override;

private:
    const CPP_ImportDBConnStr& m_connectionPage;
    const CPP_ImportDBColumns& m_columnsPage;
    QString m_mediaTypeText;
    QString m_table;
    QString m_connection;
    QPlainTextEdit* m_connectionCopy;
    QLabel* m_tableName;
    QTreeWidget* m_overview;
    QLabel* m_mediaType;
};
