#pragma once

#include "boundedopen.h"
#include "connectionfields.h"
#include "datalinkprompt.h"

#include <QDialog>

#include <chrono>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

// The connection-string prompt: an installed ODBC driver or a configured data source, the usual
// keys as fields, free extra keys, and the raw string, kept in step with each other. The
// password is masked in its field and in the raw string. Test connects with what is shown and
// shows the driver's own answer.
class CConnectionDlg : public QDialog, public CDataLinkPrompt {
    Q_OBJECT
public:
    explicit CConnectionDlg(QWidget* owner = nullptr);

    void setTestLimit(std::chrono::milliseconds limit) { m_testLimit = limit; }
    // The string as it stands in the dialog.
    QString connectionString() const { return m_fields.toString(); }
    QString testResult() const;

protected:
    bool runDialog(const QString& initial, QString& result) override;

private:
    void load(const QString& text);
    void showFields();
    void showRaw();
    void fieldsEdited();
    void rawEdited(const QString& text);
    void ensureEmptyExtraRow();
    void test();

    CConnectionFields m_fields;
    // The password the raw text's mask stands for.
    QString m_maskedPassword;
    bool m_updating = false;
    std::chrono::milliseconds m_testLimit = kConnectLimit;
    QRadioButton* m_useDriver = nullptr;
    QRadioButton* m_useDsn = nullptr;
    QComboBox* m_driver = nullptr;
    QComboBox* m_dsn = nullptr;
    QLineEdit* m_server = nullptr;
    QLineEdit* m_database = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QTableWidget* m_extras = nullptr;
    QLineEdit* m_raw = nullptr;
    QPushButton* m_test = nullptr;
    QLabel* m_result = nullptr;
};
