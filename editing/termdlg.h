#pragma once

#include <QDialog>

#include <string>

class CTarvexDoc;
class IUserPrompts;
class QLineEdit;

// The Controller dialog: name, ID, code and COM port (digits only; the COM port is disabled
// when editing). OK refuses numbers out of range, an empty name and, when adding, a COM port
// already in the workspace; a refusal puts the focus into its field and keeps the input.
class CTermDlg : public QDialog {
    Q_OBJECT
public:
    // doc: the workspace the COM port check looks into, from whoever opens the dialog (nullptr:
    // none, every port is free).
    // prompts: where a refusal is told.
    explicit CTermDlg(IUserPrompts& prompts, QWidget* parent = nullptr, CTarvexDoc* doc = nullptr);

    void SetEditing(bool editing);
    bool IsEditing() const { return m_editing; }

    // Fills the fields (the defaults when adding are an empty name, 0, 0 and COM port 1).
    void SetValues(const QString& name, int id, int code, int comPort);

    // Valid after OK; the name as the workspace stores it.
    const std::string& Name() const { return m_name; }
    int ID() const { return m_id; }
    int Code() const { return m_code; }
    int ComPort() const { return m_comPort; }
    QString UnmappedWarning() const { return m_unmapped; }

    // By dialog item: Name, ID, Code and COM Port.
    QLineEdit* field(int item) const;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    CTarvexDoc* m_doc;
    bool m_editing = false;
    QLineEdit* m_nameEdit;
    QLineEdit* m_idEdit;
    QLineEdit* m_codeEdit;
    QLineEdit* m_comEdit;
    std::string m_name;
    int m_id = 0;
    int m_code = 0;
    int m_comPort = 1;
    QString m_unmapped;
    IUserPrompts& m_prompts;
};
