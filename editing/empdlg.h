#pragma once

#include <QDialog>

#include <string>

class CTarvexDoc;
class IUserPrompts;
class QLineEdit;

// The Employee dialog: MediaID (upper case as typed, disabled when editing), last name and
// first name. OK runs the checks in order; a refusal shows its message, puts the focus into
// the field it names and keeps the dialog open with the input in place.
class CEmpDlg : public QDialog {
    Q_OBJECT
public:
    // doc: the workspace the duplicate check looks into, from whoever opens the dialog (nullptr:
    // none, nothing is a duplicate).
    // prompts: where a refusal is told.
    explicit CEmpDlg(IUserPrompts& prompts, QWidget* parent = nullptr, CTarvexDoc* doc = nullptr);

    // Editing: the MediaID cannot be changed and the focus starts in Last Name.
    void SetEditing(bool editing);
    bool IsEditing() const { return m_editing; }

    void SetMediaId(const QString& text);
    void SetLastName(const QString& text);
    void SetFirstName(const QString& text);
    QString MediaIdText() const;
    QString LastNameText() const;
    QString FirstNameText() const;

    // The fields as the workspace stores them (the program's code page), valid after OK. The
    // characters the code page could not hold are in UnmappedWarning().
    const std::string& MediaId() const { return m_mediaId; }
    const std::string& LastName() const { return m_lastName; }
    const std::string& FirstName() const { return m_firstName; }
    QString UnmappedWarning() const { return m_unmapped; }

    // By dialog item: the MediaID, Last Name and First Name fields.
    QLineEdit* field(int item) const;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    CTarvexDoc* m_doc;
    bool m_editing = false;
    QLineEdit* m_mediaIdEdit;
    QLineEdit* m_lastNameEdit;
    QLineEdit* m_firstNameEdit;
    std::string m_mediaId;
    std::string m_lastName;
    std::string m_firstName;
    QString m_unmapped;
    IUserPrompts& m_prompts;
};
