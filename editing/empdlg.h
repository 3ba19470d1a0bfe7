#pragma once

#include <QDialog>

#include <chrono>
#include <string>

class CPresentedMedia;
class CTarvexDoc;
class IUserPrompts;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

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
    // The MediaID's description under its field, and the button that converts a printed number.
    QLabel* mediaIdInfo() const { return m_mediaIdInfo; }
    QPushButton* convertButton() const { return m_convert; }

    void accept() override;

    // "Read from a reader" beside the MediaID: the next medium presented to any controller
    // becomes the MediaID unless an employee has it already; waits at most `timeout`. Without a
    // source the dialog has no such button.
    void SetMediumSource(CPresentedMedia* media,
                         std::chrono::milliseconds timeout = std::chrono::seconds(60));
    QPushButton* ReadButton() const { return m_readButton; }
    void ReadFromReader();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The help with the MediaID: its parts in words under the field, kept up as it is typed,
    // and "Convert..." beside it.
    void addMediaIdHelp(QGridLayout* grid);
    void convertPrintedNumber();

    QLabel* m_mediaIdInfo = nullptr;
    QPushButton* m_convert = nullptr;
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
    CPresentedMedia* m_media = nullptr;
    QPushButton* m_readButton = nullptr;
    std::chrono::milliseconds m_readTimeout{0};
};
